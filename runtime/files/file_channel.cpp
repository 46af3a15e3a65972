#include "files/file_channel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/line_split.h"
#include "files/media_name_resolver.h"
#include "files/memory_files.h"

namespace vlm {

namespace {

constexpr std::size_t kReadBufferSize = 64 * 1024;

std::int32_t Clamp32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// Reads until `out` is full or the file ends; the count read, or -1.
std::int64_t ReadAt(int fd, std::uint8_t* out, std::size_t n, std::int64_t at) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd, out + done, n - done, static_cast<off_t>(at + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

// Opens a regular file only: a pipe or device could block the open or the
// reads and writes, or never end. Opened without waiting, then switched back
// to ordinary blocking access.
int OpenRegularFile(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat info{};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// The text runs up to its first NUL byte.
DynString TextUpToNul(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return DynString(text.substr(0, text.find('\0')));
}

} // namespace

bool FileChannel::Open(std::string_view name, std::int32_t mode) {
    Close();
    if (mode > 0) return OpenForReading(name);
    // Memory blocks are never written through a channel.
    if (IsMemoryFileName(name)) return false;
    return OpenForWriting(name, mode < 0);
}

bool FileChannel::OpenForReading(std::string_view name) {
    const ResolvedName resolved = MediaNameResolver(name);
    if (IsMemoryFileName(resolved.name.view())) {
        const auto block = FindMemoryBlock(resolved.name.view());
        if (!block) return false;
        // An empty block still needs a non-null pointer to count as open.
        static const std::uint8_t kEmpty = 0;
        memory_ = block->empty() ? &kEmpty : block->data();
        size_ = static_cast<std::int64_t>(block->size());
        position_ = 0;
        return true;
    }
    if (!Adopt(OpenRegularFile(PlatformPath(resolved.name.view()), O_RDONLY))) return false;
    size_ = fileLength_;
    position_ = 0;
    return true;
}

bool FileChannel::OpenForWriting(std::string_view name, bool append) {
    // Only files are written or appended to, never a device, pipe or folder
    // that happens to have the name (those are not even opened), and a file
    // its owner made read-only stays as it is. A new file replaces an old
    // one's content.
    const std::string path = PlatformPath(name);
    struct stat info{};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) return false;
    const int flags = append ? O_WRONLY | O_CREAT : exists ? O_RDWR | O_TRUNC : O_RDWR | O_CREAT | O_EXCL;
    if (!Adopt(OpenRegularFile(path, flags))) return false;
    size_ = 0;
    // Appending starts at the end; the logical position is where writes go.
    position_ = append ? fileLength_ : 0;
    return true;
}

bool FileChannel::Adopt(int fd) {
    if (fd < 0) return false;
    struct stat info{};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    fileLength_ = info.st_size;
    return true;
}

void FileChannel::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    memory_ = nullptr;
    size_ = position_ = fileLength_ = 0;
    buffer_.clear();
    buffer_.shrink_to_fit();
    DropBuffer();
}

std::int32_t FileChannel::Position() const { return Clamp32(position_); }
std::int32_t FileChannel::Size() const { return Clamp32(size_); }

void FileChannel::Seek(std::int32_t offset, std::int32_t origin) {
    if (!IsOpen()) return;
    if (origin < 0) position_ = (IsMemory() ? size_ : fileLength_) + offset;
    else if (origin > 0) position_ += offset;
    else position_ = offset;
}

std::optional<std::span<const std::uint8_t>> FileChannel::Peek(std::int64_t at, std::size_t want) {
    if (at >= bufferStart_ && at <= bufferStart_ + static_cast<std::int64_t>(bufferLength_)) {
        const std::size_t offset = static_cast<std::size_t>(at - bufferStart_);
        const std::size_t have = bufferLength_ - offset;
        if (have >= want || bufferReachesEnd_) return std::span<const std::uint8_t>(buffer_.data() + offset, have);
    }
    DropBuffer();
    // The buffer is made on the first read, so channels that only write never pay for it.
    if (buffer_.empty()) buffer_.resize(kReadBufferSize);
    bufferStart_ = at;
    // One read is usually enough; more only while fewer than `want` bytes came.
    while (bufferLength_ < want || bufferLength_ == 0) {
        const ssize_t got =
            ::pread(fd_, buffer_.data() + bufferLength_, buffer_.size() - bufferLength_, static_cast<off_t>(at + bufferLength_));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            DropBuffer();
            return std::nullopt;
        }
        if (got == 0) {
            bufferReachesEnd_ = true;
            break;
        }
        bufferLength_ += static_cast<std::size_t>(got);
    }
    return std::span<const std::uint8_t>(buffer_.data(), bufferLength_);
}

void FileChannel::DropBuffer() {
    bufferStart_ = 0;
    bufferLength_ = 0;
    bufferReachesEnd_ = false;
}

bool FileChannel::Read(std::span<std::uint8_t> out) {
    if (IsMemory()) {
        if (position_ < 0 || position_ > size_) return false;
        const std::size_t copied = std::min<std::size_t>(out.size(), static_cast<std::size_t>(size_ - position_));
        if (out.empty()) return true;
        std::memcpy(out.data(), memory_ + position_, copied);
        std::memset(out.data() + copied, 0, out.size() - copied);
        position_ += static_cast<std::int64_t>(copied);
        return true;
    }
    if (fd_ < 0 || position_ < 0) return false;
    if (out.size() > kReadBufferSize) {
        const std::int64_t got = ReadAt(fd_, out.data(), out.size(), position_);
        if (got != static_cast<std::int64_t>(out.size())) return false;
    } else {
        const auto bytes = Peek(position_, out.size());
        if (!bytes || bytes->size() < out.size()) return false;
        std::memcpy(out.data(), bytes->data(), out.size());
    }
    position_ += static_cast<std::int64_t>(out.size());
    return true;
}

std::optional<DynString> FileChannel::ReadText(std::int32_t n) {
    if (n < 1) return DynString();
    std::int64_t available = n;
    if (IsMemory()) {
        if (position_ < 0 || position_ > size_) return std::nullopt;
        available = std::min<std::int64_t>(n, size_ - position_);
    } else if (fd_ < 0 || position_ < 0 || position_ + n > fileLength_) {
        // Checked before anything is allocated: a disk read must deliver all n bytes.
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(available));
    if (!Read(bytes)) return std::nullopt;
    return TextUpToNul(bytes);
}

std::optional<DynString> FileChannel::ReadLine() {
    std::span<const std::uint8_t> bytes;
    if (IsMemory()) {
        if (position_ < 0 || position_ >= size_) return std::nullopt;
        bytes = {memory_ + position_, static_cast<std::size_t>(size_ - position_)};
    } else {
        if (fd_ < 0 || position_ < 0) return std::nullopt;
        const auto peeked = Peek(position_, kMaxLineLength);
        if (!peeked || peeked->empty()) return std::nullopt;
        bytes = *peeked;
    }
    const LineExtent line = FindLine(bytes);
    position_ += static_cast<std::int64_t>(line.consumed);
    return TextUpToNul(bytes.first(line.length));
}

bool FileChannel::Write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0 || position_ < 0) return false;
    DropBuffer();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(position_ + done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    position_ += static_cast<std::int64_t>(done);
    fileLength_ = std::max(fileLength_, position_);
    return true;
}

bool FileChannel::Write(std::string_view text) {
    return Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace vlm
