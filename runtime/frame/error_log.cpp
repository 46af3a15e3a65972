#include "frame/error_log.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_services.h"

namespace vlm {

namespace {

constexpr int kOpenAttempts = 5;

// The log lives in a shared folder under a fixed name, so it is opened
// without following links, created private, and only written when it is
// a regular file of our own.
int OpenLog(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    struct stat info{};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp && *tmp) ? tmp : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string ErrorLogPath() { return TemporaryFolder() + "ErrorLog.txt"; }

void RestartErrorLog() { ::unlink(ErrorLogPath().c_str()); }

void AppendLogLine(std::string_view text) {
    const std::string path = ErrorLogPath();
    std::string line(text);
    line += "\r\n";
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        const int fd = OpenLog(path);
        if (fd < 0) continue;
        WriteAll(fd, std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
        ::close(fd);
        return;
    }
}

} // namespace vlm
