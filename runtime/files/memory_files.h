// In-memory files: caller-owned blocks of bytes that the runtime reads with
// the same calls as disk files, under a "mem://" name.
//
// Name form: "mem://" + size as "%8x" + "." + address as "%16" PRIxPTR, for
// example "mem://     400.    7f3a5c0010a0" (31 characters). The address
// field is 16 wide so that any 64-bit address fits; both fields are read at
// fixed offsets (6 and 15) as hexadecimal with leading blanks.
//
// A name is only ever a key into the registry below: a "mem://" text that
// does not name a live, registered block is "no such file", so no outside
// text can make the runtime read memory it was not given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "values/dyn_string.h"

namespace vlm {

inline constexpr std::string_view kMemoryFilePrefix = "mem://";
inline constexpr std::size_t kMemoryFileNameLength = 31;
// Sizes are signed 32-bit in the channel table; larger blocks get no name.
inline constexpr std::size_t kMaxMemoryFileSize = 0x7fffffff;

struct MemoryFileNameFields {
    std::uint32_t size;
    std::uintptr_t address;
};

// True when the text starts with "mem://" (whether or not it names a block).
bool IsMemoryFileName(std::string_view name);
// The name of a block, registered or not.
DynString MemoryFileName(std::span<const std::uint8_t> block);
// The two fields of a well-formed name; nullopt for any other text.
std::optional<MemoryFileNameFields> ParseMemoryFileName(std::string_view name);

// Registers a caller-owned block for as long as it lives. The block must
// outlive the registration. A block larger than kMaxMemoryFileSize is not
// registered and its Name() is empty. A block given as const is never
// written (a download cannot target it).
class MemoryFile {
public:
    MemoryFile(void* data, std::size_t size);
    MemoryFile(const void* data, std::size_t size);
    explicit MemoryFile(std::span<std::uint8_t> block) : MemoryFile(block.data(), block.size()) {}
    explicit MemoryFile(std::span<const std::uint8_t> block) : MemoryFile(block.data(), block.size()) {}
    ~MemoryFile();
    MemoryFile(MemoryFile&& other) noexcept;
    MemoryFile& operator=(MemoryFile&& other) noexcept;
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const DynString& Name() const { return name_; }
    bool Registered() const { return registered_; }

private:
    MemoryFile(const void* data, std::size_t size, bool writable);
    void Unregister() noexcept;
    MemoryFileNameFields Key() const;

    std::span<const std::uint8_t> block_;
    DynString name_;
    bool registered_ = false;
    bool writable_ = false;
};

// The block a "mem://" name stands for, only while it is registered.
// Readers must not write through the span.
std::optional<std::span<std::uint8_t>> FindMemoryBlock(std::string_view name);
// The same, only for blocks registered as writable.
std::optional<std::span<std::uint8_t>> FindWritableMemoryBlock(std::string_view name);

} // namespace vlm
