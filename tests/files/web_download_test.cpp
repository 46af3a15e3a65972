#include "files/web_download.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "files/memory_files.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

extern char** environ;

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A listening socket on 127.0.0.1 with a port of the system's choosing.
int Listen(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

bool CanConnect(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Answers one connection with fixed bytes, then closes it (abruptly when
// `reset`), and keeps the request it received.
class RawServer {
public:
    RawServer(std::string response, bool reset) {
        listener_ = Listen(port_);
        thread_ = std::thread([this, response = std::move(response), reset] {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            char buffer[1024];
            while (request_.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request_.append(buffer, static_cast<std::size_t>(n));
            }
            ::send(client, response.data(), response.size(), MSG_NOSIGNAL);
            if (reset) {
                const linger abort{1, 0};
                ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
            }
            ::close(client);
        });
    }
    ~RawServer() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    std::uint16_t port() const { return port_; }
    const std::string& request() const { return request_; }

private:
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::string request_;
    std::thread thread_;
};

TEST(HttpHeaderSplitter, CarriageReturnsDoNotCountOtherBytesResetTheCount) {
    for (const char* response : {"HTTP/1.0 200 OK\r\nA: b\r\n\r\nBODY", "HTTP/1.0 200 OK\nA: b\n\nBODY",
                                 "HTTP/1.0 200 OK\nA: b\r\n\r\r\nBODY", "a\nb\nc\n\nBODY"}) {
        HttpHeaderSplitter splitter;
        const std::string_view text(response);
        EXPECT_EQ(text.substr(splitter.Feed(Bytes(text))), "BODY") << response;
    }
}

TEST(HttpHeaderSplitter, HeaderEndSplitAcrossBlocks) {
    HttpHeaderSplitter splitter;
    EXPECT_EQ(splitter.Feed(Bytes("HTTP/1.0 200 OK\r\n")), 17u);
    EXPECT_FALSE(splitter.InBody());
    EXPECT_EQ(splitter.Feed(Bytes("\r")), 1u);
    EXPECT_EQ(splitter.Feed(Bytes("\nXY")), 1u);
    EXPECT_TRUE(splitter.InBody());
    EXPECT_EQ(splitter.Feed(Bytes("\n\nmore")), 0u);
}

TEST(WebDownload, SendsTheRequestAndKeepsTheBody) {
    TempFolder temp;
    RawServer server("HTTP/1.0 200 OK\nContent-Type: text/plain\n\nline one\r\nline two\n", false);
    const DynString target((temp / "body.txt").string());
    WriteWholeFile(temp / "body.txt", "old content");
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/file.txt"), server.port(), target), 1);
    EXPECT_EQ(ReadWholeFile(temp / "body.txt"), "line one\r\nline two\n");
    EXPECT_EQ(server.request(),
              "GET /file.txt HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Velmora\r\n\r\n");
}

TEST(WebDownload, ADroppedConnectionLeavesTheTargetAsItWas) {
    TempFolder temp;
    const std::string body(3000, 'b');
    RawServer server("HTTP/1.0 200 OK\r\n\r\n" + body, true);
    WriteWholeFile(temp / "d", "old");
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/"), server.port(), DynString((temp / "d").string())), 0);
    EXPECT_EQ(ReadWholeFile(temp / "d"), "old");
}

TEST(WebDownload, AMemoryTargetNeverReceivesMoreThanItsSize) {
    std::string body;
    for (int i = 0; i < 500; ++i) body += static_cast<char>('a' + i % 26);
    RawServer server("HTTP/1.0 200 OK\r\n\r\n" + body, false);
    std::vector<std::uint8_t> buffer(110, 0xEE);
    MemoryFile target(buffer.data(), 100);
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/"), server.port(), target.Name()), 1);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 100), body.substr(0, 100));
    EXPECT_EQ(buffer[100], 0xEE);
}

TEST(WebDownload, Failures) {
    TempFolder temp;
    std::uint16_t port = 0;
    const int closed = Listen(port);
    ::close(closed); // nothing listens there any more
    const DynString target((temp / "f").string());
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/"), port, target), 0);
    EXPECT_EQ(ReadWholeFile(temp / "f"), ""); // created, and left empty
    EXPECT_EQ(WebDownload(DynString("no-such-host.invalid"), DynString("/"), 80, target), 0);
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/ HTTP/1.0\r\nX: y"), port, target), 0);
    std::uint8_t block[8];
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/"), port, MemoryFileName(block)), 0);
    static const std::uint8_t kReadOnly[8] = {};
    MemoryFile readOnly(static_cast<const void*>(kReadOnly), sizeof kReadOnly);
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/"), port, readOnly.Name()), 0);
}

// A real web server, python3's http.server, serving a folder.
class PythonHttpServer {
public:
    explicit PythonHttpServer(const std::filesystem::path& folder) {
        const int probe = Listen(port_);
        ::close(probe);
        std::string portText = std::to_string(port_);
        std::string folderText = folder.string();
        const char* arguments[] = {"python3", "-m", "http.server", portText.c_str(), "--bind", "127.0.0.1",
                                   "--directory", folderText.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawnp(&pid_, "python3", &actions, nullptr, const_cast<char**>(arguments), environ);
        posix_spawn_file_actions_destroy(&actions);
        test::WaitUntil([this] { return CanConnect(port_); }, std::chrono::seconds(10));
    }
    ~PythonHttpServer() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    std::uint16_t port() const { return port_; }
    bool running() const { return pid_ > 0 && CanConnect(port_); }

private:
    pid_t pid_ = 0;
    std::uint16_t port_ = 0;
};

TEST(WebDownload, FromARealServer) {
    TempFolder temp;
    std::filesystem::create_directory(temp / "site");
    std::string content;
    for (int i = 0; i < 100000; ++i) content += static_cast<char>(i * 31 % 251);
    WriteWholeFile(temp / "site" / "data.bin", content);
    PythonHttpServer server(temp / "site");
    ASSERT_TRUE(server.running());
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/data.bin"), server.port(),
                          DynString((temp / "copy.bin").string())),
              1);
    EXPECT_EQ(ReadWholeFile(temp / "copy.bin"), content);
    std::vector<std::uint8_t> buffer(64);
    MemoryFile target(buffer.data(), buffer.size());
    EXPECT_EQ(WebDownload(DynString("localhost"), DynString("/data.bin"), server.port(), target.Name()), 1);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), content.substr(0, 64));
}

TEST(WebDownload, OnlyACompleteSuccessfulResponseReplacesTheTarget) {
    TempFolder temp;
    const auto download = [&](std::uint16_t port, const char* path = "/", const DownloadLimits& limits = {}) {
        WriteWholeFile(temp / "t", "old");
        const std::int32_t result =
            WebDownload(DynString("127.0.0.1"), DynString(path), port, DynString((temp / "t").string()), limits);
        return std::pair(result, ReadWholeFile(temp / "t"));
    };
    using Outcome = std::pair<std::int32_t, std::string>;
    for (const auto& [response, outcome] : std::vector<std::pair<std::string, Outcome>>{
             {"HTTP/1.0 404 Not Found\r\n\r\nno such page", {0, "old"}},
             {"HTTP/1.1 301 Moved\r\nLocation: /x\r\n\r\n", {0, "old"}},
             {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhalf!", {0, "old"}},
             {"not a response\r\n\r\nbody", {0, "old"}},
             {"HTTP/1.0 200 OK\r\ncontent-length: 5\r\n\r\nwhole and more", {1, "whole"}}}) {
        RawServer server(response, false);
        EXPECT_EQ(download(server.port(), "/a b\"c"), outcome) << response;
        EXPECT_TRUE(server.request().starts_with("GET /a%20b%22c HTTP/1.0\r\n")) << server.request();
    }
    // A server that takes the request and never answers: no byte for long, or too long in all.
    std::uint16_t port = 0;
    const int silent = Listen(port);
    using std::chrono::milliseconds;
    EXPECT_EQ(download(port, "/", {milliseconds(1000), milliseconds(200), milliseconds(60000)}), Outcome(0, "old"));
    EXPECT_EQ(download(port, "/", {milliseconds(1000), milliseconds(60000), milliseconds(300)}), Outcome(0, "old"));
    ::close(silent);
    EXPECT_EQ(download(port), Outcome(0, "old")); // nothing listens there any more
}

} // namespace
} // namespace vlm
