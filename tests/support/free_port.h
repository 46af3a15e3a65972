// A TCP port on 127.0.0.1 that nothing listens on just now, for tests that
// start their own peers (tests run in parallel, so no port is fixed). It is
// taken below the system's range for outgoing ports (32768 and up): a
// connect to a port in that range, while nobody listens on it, can now and
// then connect the socket to itself.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace vlm::test {

inline int FreePort() {
    std::random_device seed;
    std::uniform_int_distribution<int> pick(20000, 32000);
    for (;;) {
        const int port = pick(seed);
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
        const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (free) return port;
    }
}

} // namespace vlm::test
