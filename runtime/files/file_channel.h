// FileChannel: one numbered slot of the file-channel table, bound to a disk
// file or to a registered memory block.
//
// Reads of a disk channel go through a buffer of the channel's own. The file
// is this channel's alone, so the buffer only has to follow the channel's
// logical position: a line read consumes exactly the line, a typed read after
// it starts just after the line feed, and seek, end of file and writes all
// act at the logical position.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "files/line_split.h"
#include "values/dyn_string.h"

namespace vlm {

class FileChannel {
public:
    FileChannel() = default;
    ~FileChannel() { Close(); }
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    // mode > 0 read, 0 write (a new file), < 0 append. Names are resolved
    // through the MediaNameResolver for reading. False when nothing opened.
    bool Open(std::string_view name, std::int32_t mode);
    // Closing a closed channel does nothing; a memory block is just forgotten.
    void Close();

    bool IsOpen() const { return fd_ >= 0 || memory_ != nullptr; }
    bool IsMemory() const { return memory_ != nullptr; }
    // The memory block the channel reads, or null.
    const std::uint8_t* MemoryBlock() const { return memory_; }
    std::int32_t Position() const;
    // Size taken at open (0 for write and append channels).
    std::int32_t Size() const;
    std::int64_t Length() const { return size_; } // the whole size, also beyond 2 GiB
    // origin < 0 from the end, > 0 relative, 0 absolute.
    void Seek(std::int32_t offset, std::int32_t origin);
    bool AtEnd() const { return size_ <= position_; }

    // Fills `out`. A disk read must deliver every byte; a memory read at the
    // end of its block copies what is left and zeroes the rest.
    bool Read(std::span<std::uint8_t> out);
    // n bytes, ending at the first NUL among them; n < 1 reads nothing.
    std::optional<DynString> ReadText(std::int32_t n);
    // Up to the next line feed (dropped, with a carriage return before it),
    // at most kMaxLineLength bytes.
    std::optional<DynString> ReadLine();
    // Disk channels only; every byte must be written.
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(std::string_view text);

private:
    bool OpenForReading(std::string_view name);
    bool OpenForWriting(std::string_view name, bool append);
    // Takes an opened file unless it is a folder; false (and closed) otherwise.
    bool Adopt(int fd);
    // The file's bytes from `at`: at least `want` of them unless the file
    // ends first. `want` is at most the buffer size.
    std::optional<std::span<const std::uint8_t>> Peek(std::int64_t at, std::size_t want);
    void DropBuffer();

    int fd_ = -1;
    const std::uint8_t* memory_ = nullptr;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::int64_t fileLength_ = 0; // the disk file's current length, for seeks from the end

    std::vector<std::uint8_t> buffer_;
    std::int64_t bufferStart_ = 0; // file offset of buffer_[0]
    std::size_t bufferLength_ = 0;
    bool bufferReachesEnd_ = false; // the last fill met the end of the file
};

} // namespace vlm
