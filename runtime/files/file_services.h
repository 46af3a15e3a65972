// Whole-file services: existence, size, copy, delete, folders, wildcards.
// Names accept '/' and '\' unless said otherwise; registered "mem://"
// names count as files wherever a file is read.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "values/dyn_string.h"

namespace vlm {

// Writes every byte to an open descriptor (retrying interrupted writes).
bool WriteAll(int fd, std::span<const std::uint8_t> bytes);

// ---- Program-facing ---------------------------------------------------------

std::int32_t FileExists(const DynString& name);  // 1/0; sets no error
std::int32_t FileSize(const DynString& name);    // a missing file gives 0 and code 3
// Source (disk or "mem://") to a new destination, all or nothing; 1/0, code 3
// on failure. A file copied onto itself (under any name) is left as it is.
std::int32_t CopyFile(const DynString& source, const DynString& destination);
std::int32_t DeleteFile(const DynString& name);  // 1/0
std::int32_t MakeDirectory(const DynString& name); // 1/0
std::int32_t IsDirectory(const DynString& name);   // 1/0
DynString CurrentDirectory();                      // '/' separators, ends in '/'
void ConvertToForwardSlashes(DynString& text);     // every '\' becomes '/', in place
// The whole content of a file or registered block, found through the
// MediaNameResolver; nullopt when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string_view name);
// Replaces the file with what `write` puts into the descriptor it is handed,
// all or nothing: the old file stays when `write` answers false or writing
// fails. Links are followed; an existing file that is not a writable regular
// file is left alone (false, and `write` is not called).
bool ReplaceFileWith(std::string_view name, const std::function<bool(int fd)>& write);
// The same with exactly these bytes.
bool ReplaceFile(std::string_view name, std::span<const std::uint8_t> bytes);
// '*' any run, '?' any one byte but '.', "*.*" everything; A-Z fold to a-z.
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace vlm
