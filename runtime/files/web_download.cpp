#include "files/web_download.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include "files/file_channel.h"
#include "files/memory_files.h"

namespace vlm {

namespace {

constexpr std::size_t kReceiveBlockSize = 4096;
// A server that goes quiet this long counts as a receive error.
constexpr int kReceiveTimeoutSeconds = 30;

class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ < 0) return;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

int Connect(const std::string& host, std::int32_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    return fd;
}

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Bytes that would let a caller's text add lines to the request.
bool SafeInRequest(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

// Where the body goes: a file, or a block that is never overrun.
class BodySink {
public:
    bool Open(std::string_view target) {
        if (IsMemoryFileName(target)) {
            block_ = FindWritableMemoryBlock(target);
            return block_.has_value();
        }
        return file_.Open(target, 0);
    }
    bool Append(std::span<const std::uint8_t> bytes) {
        if (!block_) return file_.Write(bytes);
        const std::size_t room = block_->size() - used_;
        const std::size_t n = std::min(room, bytes.size());
        std::memcpy(block_->data() + used_, bytes.data(), n);
        used_ += n;
        return true;
    }

private:
    FileChannel file_;
    std::optional<std::span<std::uint8_t>> block_;
    std::size_t used_ = 0;
};

} // namespace

std::size_t HttpHeaderSplitter::Feed(std::span<const std::uint8_t> block) {
    if (inBody_) return 0;
    for (std::size_t i = 0; i < block.size(); ++i) {
        const std::uint8_t c = block[i];
        if (c == '\r') continue;
        lineFeeds_ = c == '\n' ? lineFeeds_ + 1 : 0;
        if (lineFeeds_ == 2) {
            inBody_ = true;
            return i + 1;
        }
    }
    return block.size();
}

std::int32_t WebDownload(const DynString& host, const DynString& path, std::int32_t port, const DynString& target) {
    // Bad arguments fail before the target file is replaced.
    if (!SafeInRequest(host.view()) || !SafeInRequest(path.view()) || port <= 0 || port > 65535) return 0;
    BodySink sink;
    if (!sink.Open(target.view())) return 0;

    const Socket socket(Connect(std::string(host.view()), port));
    if (socket.fd() < 0) return 0;
    const timeval timeout{kReceiveTimeoutSeconds, 0};
    ::setsockopt(socket.fd(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

    const std::string request = "GET " + std::string(path.view()) + " HTTP/1.0\r\nHost:" + std::string(host.view()) +
                                "\r\nAccept: */*\r\nUser-Agent: Velmora\r\n\r\n";
    if (!SendAll(socket.fd(), request)) return 0;

    HttpHeaderSplitter header;
    std::uint8_t block[kReceiveBlockSize];
    for (;;) {
        const ssize_t got = ::recv(socket.fd(), block, sizeof block, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break; // the end of the response, or a receive error
        const std::span<const std::uint8_t> received(block, static_cast<std::size_t>(got));
        const std::size_t bodyStart = header.Feed(received);
        // A body that cannot be stored is a failed download, not a short one.
        if (!sink.Append(received.subspan(bodyStart))) return 0;
    }
    return 1;
}

} // namespace vlm
