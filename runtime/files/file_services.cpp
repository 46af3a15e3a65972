#include "files/file_services.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <limits.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/error_state.h"
#include "files/file_channel.h"
#include "files/media_name_resolver.h"
#include "files/memory_files.h"

namespace vlm {

namespace {

constexpr std::size_t kCopyBlockSize = 4096;

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool CopyInto(FileChannel& source, int destination) {
    std::vector<std::uint8_t> block(kCopyBlockSize);
    for (std::int64_t left = source.Length(); left > 0;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, kCopyBlockSize));
        const std::span<std::uint8_t> piece(block.data(), n);
        if (!source.Read(piece) || !WriteAll(destination, piece)) return false;
        left -= static_cast<std::int64_t>(n);
    }
    return true;
}

// Both names stand for one disk file (links and other spellings included).
bool SameFile(std::string_view a, std::string_view b) {
    if (IsMemoryFileName(a) || IsMemoryFileName(b)) return false;
    struct stat x{}, y{};
    return ::stat(PlatformPath(a).c_str(), &x) == 0 && ::stat(PlatformPath(b).c_str(), &y) == 0 &&
           x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

} // namespace

std::int32_t FileExists(const DynString& name) {
    if (IsMemoryFileName(name.view())) return FindMemoryBlock(name.view()) ? 1 : 0;
    // Asked without opening: opening a pipe would wait for a writer.
    const std::string path = PlatformPath(name.view());
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), R_OK) == 0 ? 1 : 0;
}

std::int32_t FileSize(const DynString& name) {
    FileChannel file;
    if (!file.Open(name.view(), 1)) {
        SetErrorCode(kErrorNoSuchFile);
        return 0;
    }
    return file.Size();
}

std::int32_t CopyFile(const DynString& source, const DynString& destination) {
    TheErrorState().LastErrorCode = kErrorSuccess;
    FileChannel from;
    if (!from.Open(source.view(), 1)) {
        SetErrorCode(kErrorNoSuchFile);
        return 0;
    }
    // Replacing a file by itself would copy from the new, empty file.
    if (SameFile(source.view(), destination.view())) return 1;
    if (ReplaceFileWith(destination.view(), [&](int fd) { return CopyInto(from, fd); })) return 1;
    SetErrorCode(kErrorNoSuchFile);
    return 0;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string_view name) {
    FileChannel file;
    if (!file.Open(name, 1)) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    if (!file.Read(bytes)) return std::nullopt;
    return bytes;
}

bool ReplaceFile(std::string_view name, std::span<const std::uint8_t> bytes) {
    return ReplaceFileWith(name, [bytes](int fd) { return WriteAll(fd, bytes); });
}

bool ReplaceFileWith(std::string_view name, const std::function<bool(int fd)>& write) {
    // Written beside the old file and renamed over it, so that a write that
    // fails (a full disk) leaves the old content in place. A link is
    // followed to its file; devices, folders and read-only files stay.
    std::string path = PlatformPath(name);
    if (path.empty()) return false;
    struct stat existing{};
    if (::lstat(path.c_str(), &existing) == 0) {
        if (S_ISLNK(existing.st_mode)) {
            std::error_code error;
            const std::filesystem::path target = std::filesystem::canonical(path, error);
            if (error) return false;
            path = target.string();
        }
        if (::stat(path.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode) || ::access(path.c_str(), W_OK) != 0) {
            return false;
        }
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    bool written = write(fd) && ::fsync(fd) == 0;
    // The file keeps its old permissions; a new one gets those of any new file.
    struct stat old{};
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    written = ::fchmod(fd, mode) == 0 && written;
    written = ::close(fd) == 0 && written;
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::int32_t DeleteFile(const DynString& name) { return ::unlink(PlatformPath(name.view()).c_str()) == 0 ? 1 : 0; }

std::int32_t MakeDirectory(const DynString& name) {
    return ::mkdir(PlatformPath(name.view()).c_str(), 0777) == 0 ? 1 : 0;
}

std::int32_t IsDirectory(const DynString& name) {
    struct stat info{};
    return ::stat(PlatformPath(name.view()).c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 1 : 0;
}

DynString CurrentDirectory() {
    std::string path(PATH_MAX, '\0');
    if (!::getcwd(path.data(), path.size())) return DynString();
    path.resize(std::char_traits<char>::length(path.c_str()));
    DynString text(path);
    ConvertToForwardSlashes(text);
    if (text.empty() || text[text.length() - 1] != '/') text += "/";
    return text;
}

void ConvertToForwardSlashes(DynString& text) {
    if (text.empty()) return;
    char* bytes = text.WritableBuffer(text.length(), true);
    for (std::uint32_t i = 0; i < text.length(); ++i) {
        if (bytes[i] == '\\') bytes[i] = '/';
    }
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == std::string_view("*.*")) return true;
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starPattern = std::string_view::npos; // pattern index just after the last '*'
    std::size_t starName = 0;                         // where that '*' began matching
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            while (p < pattern.size() && pattern[p] == '*') ++p;
            if (p == pattern.size()) return true;
            starPattern = p;
            starName = n;
            continue;
        }
        if (p < pattern.size() &&
            (pattern[p] == '?' ? name[n] != '.' : FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
            continue;
        }
        if (starPattern == std::string_view::npos) return false;
        // Let the last '*' take one more character and try again after it.
        p = starPattern;
        n = ++starName;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

} // namespace vlm
