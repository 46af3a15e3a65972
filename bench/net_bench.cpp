// TCP over the loop-back interface: 512 MiB in 64 KiB pieces through the
// socket layer (a non-blocking sender that waits in poll, a receiver set to
// blocking) against plain blocking POSIX sockets. Best of three runs each.
// Goal: the layer within 10 % of plain sockets.
#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "net/socket_slot_table.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int32_t kPiece = 64 << 10;
constexpr std::int64_t kTotal = std::int64_t{512} << 20;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Plain() {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    ::bind(server, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(server, 1);
    ::getsockname(server, reinterpret_cast<sockaddr*>(&address), &size);
    std::thread receiver([server] {
        const int peer = ::accept(server, nullptr, nullptr);
        std::vector<char> buffer(kPiece);
        for (std::int64_t got = 0; got < kTotal;) {
            const ssize_t n = ::recv(peer, buffer.data(), buffer.size(), 0);
            if (n <= 0) break;
            got += n;
        }
        ::close(peer);
    });
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(client, reinterpret_cast<sockaddr*>(&address), size);
    std::vector<char> piece(kPiece, 'x');
    const auto start = Clock::now();
    for (std::int64_t sent = 0; sent < kTotal;) {
        const ssize_t n = ::send(client, piece.data(), piece.size(), MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += n;
    }
    receiver.join();
    const double took = SecondsSince(start);
    ::close(client);
    ::close(server);
    return took;
}

double Layer() {
    vlm::SocketSlotTable senderTable, receiverTable;
    const int port = [] {
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        ::close(probe);
        return ntohs(address.sin_port);
    }();
    const std::int32_t listening = receiverTable.Listen(port);
    std::thread receiver([&] {
        std::int32_t peer;
        while ((peer = receiverTable.Accept(listening, nullptr)) < 0)
            std::this_thread::yield();
        receiverTable.SetBlocking(peer, 1);
        std::vector<char> buffer(kPiece);
        for (std::int64_t got = 0; got < kTotal;) {
            const std::int32_t n = receiverTable.Receive(peer, buffer.data(), kPiece, 0);
            if (n <= 0) break;
            got += n;
        }
    });
    const std::int32_t client = senderTable.Connect(vlm::MakeSocketAddress(127, 0, 0, 1, port));
    std::vector<char> piece(kPiece, 'x');
    const auto start = Clock::now();
    for (std::int64_t sent = 0; sent < kTotal; sent += kPiece) {
        if (senderTable.Send(client, piece.data(), kPiece, nullptr) != kPiece) break;
    }
    receiver.join();
    return SecondsSince(start);
}

} // namespace

int main() {
    double plain = 1e300, layer = 1e300;
    for (int run = 0; run < 3; ++run) {
        plain = std::min(plain, Plain());
        layer = std::min(layer, Layer());
    }
    const double mebibytes = double(kTotal) / (1 << 20);
    std::printf("TCP loop-back, 512 MiB: socket layer %.0f MiB/s, plain sockets %.0f MiB/s, layer/plain %.2f\n",
                mebibytes / layer, mebibytes / plain, plain / layer);
}
