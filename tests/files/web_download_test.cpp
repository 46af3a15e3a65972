#include "files/web_download.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "files/memory_files.h"
#include "support/free_port.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

// A listening socket on 127.0.0.1 with a port of the system's choosing.
int Listen(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 4);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port); // 0, so that every download fails, when the socket could not listen
    return fd;
}

// Answers one connection with fixed bytes, then closes it (abruptly when
// `reset`), and keeps the request it received.
struct RawServer {
    RawServer(std::string response, bool reset) : listener(Listen(port)) {
        thread = std::thread([this, response = std::move(response), reset] {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0) return;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, static_cast<std::size_t>(n));
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
        ::shutdown(listener, SHUT_RDWR);
        thread.join();
        ::close(listener);
    }
    std::uint16_t port = 0; // before the listener, which sets it
    int listener;
    std::string request;
    std::thread thread;
};

// The downloads below find the header's end in whole responses; here it comes in pieces.
TEST(HttpHeaderSplitter, HeaderEndSplitAcrossBlocks) {
    const auto bytes = [](std::string_view text) {
        return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    HttpHeaderSplitter splitter;
    EXPECT_EQ(splitter.Feed(bytes("HTTP/1.0 200 OK\r\n")), 17u);
    EXPECT_FALSE(splitter.InBody());
    EXPECT_EQ(splitter.Feed(bytes("\r")), 1u);
    EXPECT_EQ(splitter.Feed(bytes("\nXY")), 1u);
    EXPECT_TRUE(splitter.InBody());
    EXPECT_EQ(splitter.Feed(bytes("\n\nmore")), 0u);
}

TEST(WebDownload, RefusedArgumentsSendNothing) {
    TempFolder temp;
    // A server that would answer: a call that connects gets its body.
    RawServer server("HTTP/1.0 200 OK\r\n\r\nbody", false);
    const DynString file((temp / "f").string());
    std::uint8_t block[8];
    static const std::uint8_t kReadOnly[8] = {};
    const MemoryFile readOnly(static_cast<const void*>(kReadOnly), sizeof kReadOnly);
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/"), server.port, MemoryFileName(block)), 0);
    EXPECT_EQ(WebDownload(DynString("127.0.0.1"), DynString("/"), server.port, readOnly.Name()), 0);
    EXPECT_EQ(WebDownload(DynString("no-such-host.invalid"), DynString("/"), 80, file), 0);
    EXPECT_EQ(server.request, "");
    EXPECT_FALSE(std::filesystem::exists(temp / "f"));
}

TEST(WebDownload, LongBodiesArriveWholeAndAMemoryTargetTakesOnlyItsSize) {
    TempFolder temp;
    std::string content;
    for (int i = 0; i < 100000; ++i)
        content += static_cast<char>(i * 31 % 251);
    const std::string response = "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + content;
    const DynString copy((temp / "copy.bin").string());
    std::vector<std::uint8_t> buffer(70, 0xEE);
    const MemoryFile target(buffer.data(), 64);
    for (const DynString* into : {&copy, &target.Name()}) {
        RawServer server(response, false);
        EXPECT_EQ(WebDownload(DynString("localhost"), DynString("/data.bin"), server.port, *into), 1);
    }
    EXPECT_EQ(ReadWholeFile(temp / "copy.bin"), content);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 64), content.substr(0, 64));
    EXPECT_EQ(buffer[64], 0xEE);
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
    struct Case {
        std::string response;
        bool reset; // the connection is dropped after the response
        Outcome outcome;
    };
    for (const auto& [response, reset, outcome] :
         std::vector<Case>{{"HTTP/1.0 200 OK\r\n\r\n" + std::string(3000, 'b'), true, {0, "old"}},
                           {"HTTP/1.0 404 Not Found\r\n\r\nno such page", false, {0, "old"}},
                           {"HTTP/1.1 301 Moved\r\nLocation: /x\r\n\r\n", false, {0, "old"}},
                           {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhalf!", false, {0, "old"}},
                           {"not a response\r\n\r\nbody", false, {0, "old"}},
                           {"HTTP/1.0 200 OK\r\ncontent-length: 5\r\n\r\nwhole and more", false, {1, "whole"}},
                           {"HTTP/1.0 200 OK\nContent-Type: text/plain\n\nline one\r\nline two\n",
                            false,
                            {1, "line one\r\nline two\n"}}}) {
        RawServer server(response, reset);
        EXPECT_EQ(download(server.port, "/a b\"c"), outcome) << response.substr(0, 40);
        EXPECT_EQ(server.request,
                  "GET /a%20b%22c HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Velmora\r\n\r\n");
    }
    // A server that takes the request and never answers: no byte for long, or too long in all.
    std::uint16_t port = 0;
    const int silent = Listen(port);
    using std::chrono::milliseconds;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(download(port, "/", {milliseconds(1000), milliseconds(200), milliseconds(20000)}), Outcome(0, "old"));
    EXPECT_EQ(download(port, "/", {milliseconds(1000), milliseconds(20000), milliseconds(300)}), Outcome(0, "old"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ::close(silent);
    EXPECT_EQ(download(static_cast<std::uint16_t>(test::FreePort())), Outcome(0, "old")); // nobody listens
}

} // namespace
} // namespace vlm
