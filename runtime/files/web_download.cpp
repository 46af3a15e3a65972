#include "files/web_download.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "files/file_services.h"
#include "files/memory_files.h"

namespace vlm {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t kReceiveBlockSize = 4096;
// A head this long is no answer to a request for a file.
constexpr std::size_t kMaxHeadBytes = 64 * 1024;

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

// Waits until the descriptor is ready for `events`, at most until `deadline`
// and at most `stall`; false when the time ran out first.
bool Await(int fd, short events, Clock::time_point deadline, milliseconds stall) {
    for (;;) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        pollfd wanted{fd, events, 0};
        const int ready = ::poll(&wanted, 1, static_cast<int>(std::clamp(left, milliseconds(0), stall).count()));
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0;
    }
}

// A connected, non-blocking socket to host:port, or -1.
int Connect(const std::string& host, std::int32_t port, Clock::time_point deadline, milliseconds limit) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) continue;
        int error = 0;
        socklen_t length = sizeof error;
        const bool connected = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ||
                               (errno == EINPROGRESS && Await(fd, POLLOUT, deadline, limit) &&
                                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0);
        if (!connected) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    return fd;
}

bool SendAll(int fd, std::string_view bytes, Clock::time_point deadline, milliseconds stall) {
    while (!bytes.empty()) {
        if (!Await(fd, POLLOUT, deadline, stall)) return false;
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// The bytes received, 0 at the end of the response, -1 on an error or when
// nothing came in time.
ssize_t Receive(int fd, std::span<std::uint8_t> into, Clock::time_point deadline, milliseconds stall) {
    for (;;) {
        if (!Await(fd, POLLIN, deadline, stall)) return -1;
        const ssize_t got = ::recv(fd, into.data(), into.size(), 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return got;
    }
}

// Bytes that would let a caller's text add lines to the request.
bool SafeInRequest(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

// The path as a request line may carry it: blanks, control bytes, bytes
// above 127 and the characters a URL may not hold as they are become %XX.
std::string RequestPath(std::string_view path) {
    constexpr std::string_view kUnsafe = "\"#<>\\^`{|}";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && kUnsafe.find(c) == std::string_view::npos) {
            out += c;
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            out += escape;
        }
    }
    return out;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Sends the request and hands the body to `take` as it arrives; true when
// the response was complete.
bool Fetch(const std::string& host, std::int32_t port, std::string_view request, const DownloadLimits& limits,
           const std::function<bool(std::span<const std::uint8_t>)>& take) {
    const Clock::time_point end = Clock::now() + limits.total;
    const Socket socket(Connect(host, port, std::min(end, Clock::now() + limits.connect), limits.connect));
    if (socket.fd() < 0 || !SendAll(socket.fd(), request, end, limits.stall)) return false;

    HttpHeaderSplitter splitter;
    std::string head;
    std::optional<HttpResponseHead> response;
    std::uint64_t received = 0;
    std::uint8_t block[kReceiveBlockSize];
    for (;;) {
        const ssize_t got = Receive(socket.fd(), block, end, limits.stall);
        if (got < 0) return false;
        if (got == 0) break;
        std::span<const std::uint8_t> bytes(block, static_cast<std::size_t>(got));
        if (!response) {
            const std::size_t bodyStart = splitter.Feed(bytes);
            head.append(reinterpret_cast<const char*>(bytes.data()), bodyStart);
            if (head.size() > kMaxHeadBytes) return false;
            if (!splitter.InBody()) continue;
            response = ParseResponseHead(head);
            if (!response || response->status < 200 || response->status > 299) return false;
            bytes = bytes.subspan(bodyStart);
        }
        // Bytes past the announced length are no part of the body.
        if (response->contentLength)
            bytes = bytes.first(std::min<std::uint64_t>(bytes.size(), *response->contentLength - received));
        received += bytes.size();
        if (!bytes.empty() && !take(bytes)) return false;
        if (response->contentLength && received == *response->contentLength) return true;
    }
    // Without a length the end of the connection is the end of the body.
    return response && !response->contentLength;
}

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

std::optional<HttpResponseHead> ParseResponseHead(std::string_view head) {
    HttpResponseHead parsed;
    bool statusLine = true;
    while (!head.empty()) {
        const std::size_t feed = head.find('\n');
        const std::string_view line = TrimBlanks(head.substr(0, feed));
        head.remove_prefix(feed == std::string_view::npos ? head.size() : feed + 1);
        if (statusLine) {
            // "HTTP/1.0 200 OK": the version, then three digits standing alone.
            const std::size_t blank = line.find(' ');
            if (!line.starts_with("HTTP/") || blank == std::string_view::npos) return std::nullopt;
            const std::string_view code = line.substr(blank + 1, 3);
            if (code.size() != 3 || !std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return std::nullopt;
            if (line.size() > blank + 4 && line[blank + 4] != ' ') return std::nullopt;
            parsed.status = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
            statusLine = false;
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !SameNoCase(line.substr(0, colon), "Content-Length")) continue;
        const std::string_view digits = TrimBlanks(line.substr(colon + 1));
        std::uint64_t length = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
        if (parsed.contentLength && *parsed.contentLength != length) return std::nullopt;
        parsed.contentLength = length;
    }
    if (statusLine) return std::nullopt;
    return parsed;
}

std::int32_t WebDownload(const DynString& host, const DynString& path, std::int32_t port, const DynString& target,
                         const DownloadLimits& limits) {
    // Bad arguments fail before anything is sent.
    if (!SafeInRequest(host.view()) || port <= 0 || port > 65535) return 0;
    const std::string hostName(host.view());
    const std::string request = "GET " + RequestPath(path.view()) + " HTTP/1.0\r\nHost:" + hostName +
                                "\r\nAccept: */*\r\nUser-Agent: Velmora\r\n\r\n";
    if (IsMemoryFileName(target.view())) {
        const auto block = FindWritableMemoryBlock(target.view());
        if (!block) return 0;
        // A block is never overrun: what does not fit is dropped.
        std::size_t used = 0;
        const auto fill = [&](std::span<const std::uint8_t> bytes) {
            const std::size_t n = std::min(block->size() - used, bytes.size());
            if (n > 0) std::memcpy(block->data() + used, bytes.data(), n);
            used += n;
            return true;
        };
        return Fetch(hostName, port, request, limits, fill) ? 1 : 0;
    }
    // Received into a new file that replaces the target only once the response is complete.
    const auto receive = [&](int fd) {
        return Fetch(hostName, port, request, limits,
                     [fd](std::span<const std::uint8_t> bytes) { return WriteAll(fd, bytes); });
    };
    return ReplaceFileWith(target.view(), receive) ? 1 : 0;
}

} // namespace vlm
