#include "net/socket_slot_table.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "net/sockets.h"
#include "support/free_port.h"

namespace vlm {
namespace {

using test::FreePort;

// Plain POSIX peers on 127.0.0.1, written without the layer under test.
int PlainSocket(int port, bool listen) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    const auto* a = reinterpret_cast<sockaddr*>(&address);
    if (listen ? ::bind(fd, a, sizeof address) != 0 || ::listen(fd, 4) != 0 : ::connect(fd, a, sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// Reads `size` bytes, writes them back, closes.
void Echo(int fd, std::size_t size) {
    std::vector<char> bytes(size);
    for (std::size_t got = 0; got < size;) {
        const ssize_t n = ::recv(fd, bytes.data() + got, size - got, 0);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    for (std::size_t sent = 0; sent < size;) {
        const ssize_t n = ::send(fd, bytes.data() + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

SocketAddress Loopback(int port) { return MakeSocketAddress(127, 0, 0, 1, port); }

// Sends a mebibyte through `slot` and expects it back whole.
void ExpectEchoed(SocketSlotTable& table, std::int32_t slot) {
    std::vector<std::uint8_t> out(1 << 20), in(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    const auto size = static_cast<std::int32_t>(out.size());
    EXPECT_EQ(table.Send(slot, out.data(), size, nullptr), size);
    std::int32_t received;
    while ((received = table.Receive(slot, in.data(), size, 1)) == -2)
        usleep(1000);
    EXPECT_EQ(received, size);
    EXPECT_EQ(in, out);
}

TEST(SocketTable, EchoesAMebibyteThroughAcceptAndThroughConnect) {
    SocketSlotTable table;
    const int port = FreePort();
    const std::int32_t listening = table.Listen(port);
    ASSERT_EQ(listening, 0);
    std::thread client([&] { Echo(PlainSocket(port, false), 1 << 20); });
    SocketAddress peer;
    std::int32_t accepted = -1;
    while ((accepted = table.Accept(listening, &peer)) < 0) {
        ASSERT_EQ(table.LastError(), EAGAIN);
        usleep(1000);
    }
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(SocketAddressToText(peer), "127.0.0.1");
    ExpectEchoed(table, accepted);
    client.join();
    EXPECT_EQ(table.Close(accepted), 0);

    const int server = PlainSocket(0, true);
    std::thread echo([&] { Echo(::accept(server, nullptr, nullptr), 1 << 20); });
    const std::int32_t connected = table.Connect(Loopback(PortOf(server)));
    EXPECT_EQ(connected, 1); // the lowest free slot again
    ExpectEchoed(table, connected);
    echo.join();
    ::close(server);
}

TEST(SocketTable, ReceiveTellsNothingYetFromThePeerHasGone) {
    // Through the program-level operations, on the process's table.
    ASSERT_EQ(SocketInit(), 1);
    const int server = PlainSocket(0, true);
    const std::int32_t slot = SocketConnect(Loopback(PortOf(server)));
    ASSERT_GE(slot, 0);
    const int peer = ::accept(server, nullptr, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(SocketReceive(slot, buffer, 8, 0), -2);
    EXPECT_EQ(SocketLastError(), EAGAIN);
    EXPECT_EQ(SocketReceive(slot, buffer, 8, 1), -2);
    // A wait for all that has begun waits for the rest.
    std::thread halves([&] {
        ::send(peer, "abc", 3, 0);
        usleep(50000);
        ::send(peer, "def", 3, 0);
    });
    std::int32_t result;
    while ((result = SocketReceive(slot, buffer, 6, 1)) == -2)
        usleep(1000);
    EXPECT_EQ(result, 6);
    EXPECT_STREQ(buffer, "abcdef");
    halves.join();
    ::close(peer);
    while ((result = SocketReceive(slot, buffer, 8, 0)) == -2)
        usleep(1000);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(SocketClose(slot), 0);
    SocketShutdown();
    ::close(server);
}

TEST(SocketTable, UdpDatagramsGoBothWaysAndNeedADestination) {
    SocketSlotTable table;
    const int portA = FreePort(), portB = FreePort();
    const std::int32_t a = table.OpenUdp(portA), b = table.OpenUdp(portB);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    const SocketAddress toA = Loopback(portA), toB = Loopback(portB), nowhere;
    EXPECT_EQ(table.Send(a, "ping", 4, nullptr), -1);
    EXPECT_EQ(table.Send(a, "ping", 4, &nowhere), -1);
    EXPECT_EQ(table.Send(a, "ping", 4, &toB), 4);
    EXPECT_EQ(table.Send(b, "pong!", 5, &toA), 5);
    char got[8] = {};
    std::int32_t n;
    while ((n = table.Receive(b, got, 8, 0)) == -2)
        usleep(1000);
    EXPECT_EQ(std::string(got, n), "ping");
    while ((n = table.Receive(a, got, 8, 0)) == -2)
        usleep(1000);
    EXPECT_EQ(std::string(got, n), "pong!");
    EXPECT_EQ(table.Accept(a, nullptr), -1);
    EXPECT_EQ(table.LastError(), 0);
    // Closing a UDP slot closes its socket: the port is free again.
    EXPECT_EQ(table.Close(a), 0);
    EXPECT_EQ(table.OpenUdp(portA), a);
}

TEST(SocketTable, NamesAndOwnAddresses) {
    SocketSlotTable table;
    std::int32_t count = -1;
    const std::string own = table.OwnAddresses(";", &count);
    EXPECT_EQ(count, std::count(own.begin(), own.end(), ';'));
    EXPECT_EQ(own.find("127."), std::string::npos) << own;
    const SocketAddress self = table.Resolve("", 80);
    EXPECT_EQ(SocketAddressToText(self), count > 0 ? own.substr(0, own.find(';')) : "127.0.0.1");
    EXPECT_EQ(table.Resolve("localhost", 8080), MakeSocketAddress(127, 0, 0, 1, 8080));
    EXPECT_EQ(SocketAddressToText(MakeSocketAddress(192, 168, 1, 20, 0)), "192.168.1.20");
    EXPECT_EQ(ntohs(MakeSocketAddress(0, 0, 0, 0, 8080).Port), 8080);
}

TEST(SocketTable, ErrorTexts) {
    const std::pair<std::int32_t, std::string> cases[] = {
        {8, "8 no free socket slot"},
        {ECONNREFUSED, "111 Connection refused"},
        {0, "0 Success"},
        {9999, ""},
        {EAI_NONAME, "-2 Name or service not known"},
    };
    for (const auto& [error, text] : cases)
        EXPECT_EQ(SocketErrorToText(error), text) << error;
}

TEST(SocketTable, SlotsRunOutAtTheThousandAndTwentyFourth) {
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 1200));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &files), 0);
    ASSERT_GE(files.rlim_cur, 1100u) << "the open-file limit cannot be raised far enough";

    SocketSlotTable table;
    const int port = FreePort();
    for (std::int32_t slot = 0; slot < kSocketSlotCount - 1; ++slot)
        ASSERT_EQ(table.OpenUdp(0), slot);
    const std::int32_t listening = table.Listen(port);
    ASSERT_EQ(listening, kSocketSlotCount - 1);
    const int client = PlainSocket(port, false);
    EXPECT_EQ(table.OpenUdp(0), -1);
    EXPECT_EQ(SocketErrorToText(table.LastError()), "8 no free socket slot");
    EXPECT_EQ(table.Listen(0), -1);
    EXPECT_EQ(table.LastError(), 8);
    EXPECT_EQ(table.Connect(Loopback(port)), -1);
    EXPECT_EQ(table.LastError(), 8);
    std::int32_t accepted;
    while ((accepted = table.Accept(listening, nullptr)) == -1 && table.LastError() == EAGAIN)
        usleep(1000);
    EXPECT_EQ(accepted, -1);
    EXPECT_EQ(table.LastError(), 8);
    EXPECT_EQ(::recv(client, &accepted, 1, 0), 0); // the connection taken was closed
    ::close(client);

    EXPECT_EQ(table.Close(517), 0);
    EXPECT_EQ(table.OpenUdp(0), 517);
}

TEST(SocketTable, BadSlotsAndDoubleCloseAreRefused) {
    SocketSlotTable table;
    const std::int32_t slot = table.OpenUdp(0);
    EXPECT_EQ(table.Close(slot), 0);
    char byte = 0;
    for (const std::int32_t bad : {slot, -1, 1024, 1 << 30}) {
        EXPECT_EQ(table.Close(bad), -1) << bad;
        EXPECT_EQ(table.Send(bad, &byte, 1, nullptr), -1) << bad;
        EXPECT_EQ(table.Receive(bad, &byte, 1, 0), -1) << bad;
        EXPECT_EQ(table.Accept(bad, nullptr), -1) << bad;
        table.SetBlocking(bad, 1);
        EXPECT_EQ(table.LastError(), EBADF) << bad;
    }
    EXPECT_EQ(table.Connect({}), -1);
    EXPECT_EQ(table.Connect(Loopback(FreePort())), -1);
    EXPECT_EQ(table.LastError(), ECONNREFUSED);
}

TEST(SocketTable, SendingToAClosedPeerFailsWithoutEndingTheProcess) {
    std::signal(SIGPIPE, SIG_DFL); // whatever started the test may ignore it
    SocketSlotTable table;
    const int server = PlainSocket(0, true);
    const std::int32_t slot = table.Connect(Loopback(PortOf(server)));
    ::close(::accept(server, nullptr, nullptr));
    std::vector<char> block(1 << 16);
    std::int32_t result = 0;
    for (int i = 0; i < 100 && result >= 0; ++i)
        result = table.Send(slot, block.data(), 1 << 16, nullptr);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(table.LastError() == EPIPE || table.LastError() == ECONNRESET) << table.LastError();
    // Once the reset has been reported, the system answers with EPIPE.
    EXPECT_EQ(table.Send(slot, block.data(), 1, nullptr), -1);
    EXPECT_EQ(table.LastError(), EPIPE);
    ::close(server);
}

TEST(SocketTable, ShutdownClosesEverySlotAfterTheLastInit) {
    SocketSlotTable table;
    table.Init();
    table.Init();
    const std::int32_t slot = table.OpenUdp(0);
    table.Shutdown();
    EXPECT_EQ(table.InitCount(), 1);
    EXPECT_EQ(table.Close(slot), 0); // it was still open
    const std::int32_t again = table.OpenUdp(0);
    table.Shutdown();
    EXPECT_EQ(table.InitCount(), 0);
    EXPECT_EQ(table.Close(again), -1);
}

} // namespace
} // namespace vlm
