#include "net/socket_slot_table.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <netdb.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "net/sockets.h"
#include "support/free_port.h"

namespace vlm {
namespace {

SocketAddress Loopback(int port) { return MakeSocketAddress(127, 0, 0, 1, port); }

// Receives while nothing has come yet (-2), as a polling program does.
std::int32_t ReceiveSoon(SocketSlotTable& table, std::int32_t slot, void* buffer, std::int32_t length, int all) {
    std::int32_t n;
    while ((n = table.Receive(slot, buffer, length, all)) == -2)
        usleep(1000);
    return n;
}

std::int32_t AcceptSoon(SocketSlotTable& table, std::int32_t listening, SocketAddress* peer = nullptr) {
    std::int32_t slot;
    while ((slot = table.Accept(listening, peer)) < 0 && table.LastError() == EAGAIN)
        usleep(1000);
    return slot;
}

// A mebibyte to a peer in a thread of its own, on a table of its own, which
// takes it all and sends it back.
TEST(SocketTable, EchoesAMebibyteBetweenAcceptAndConnect) {
    SocketSlotTable table, peer;
    const int port = test::FreePort();
    ASSERT_EQ(table.Listen(port), 0);
    std::thread client([&] {
        const std::int32_t slot = peer.Connect(Loopback(port));
        std::vector<std::uint8_t> bytes(1 << 20);
        if (ReceiveSoon(peer, slot, bytes.data(), 1 << 20, 1) == 1 << 20)
            peer.Send(slot, bytes.data(), 1 << 20, nullptr);
    });
    SocketAddress from;
    EXPECT_EQ(AcceptSoon(table, 0, &from), 1);
    EXPECT_EQ(SocketAddressToText(from), "127.0.0.1");
    std::vector<std::uint8_t> out(1 << 20), in(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    EXPECT_EQ(table.Send(1, out.data(), 1 << 20, nullptr), 1 << 20);
    EXPECT_EQ(ReceiveSoon(table, 1, in.data(), 1 << 20, 1), 1 << 20);
    EXPECT_TRUE(in == out);
    client.join();
    EXPECT_EQ(table.Close(1), 0);
}

TEST(SocketTable, ReceiveTellsNothingYetFromThePeerHasGone) {
    // Through the program-level operations, on the process's table.
    SocketSlotTable peer;
    const int port = test::FreePort();
    const std::int32_t listening = peer.Listen(port);
    ASSERT_EQ(SocketInit(), 1);
    ASSERT_EQ(SocketInit(), 1); // counted: two shutdowns end it
    const std::int32_t slot = SocketConnect(Loopback(port));
    const std::int32_t other = AcceptSoon(peer, listening);
    char buffer[8] = {};
    EXPECT_EQ(SocketReceive(slot, buffer, 8, 0), -2);
    EXPECT_EQ(SocketLastError(), EAGAIN);
    EXPECT_EQ(SocketReceive(slot, buffer, 8, 1), -2);
    // A wait for all that has begun waits for the rest.
    std::thread halves([&] {
        peer.Send(other, "abc", 3, nullptr);
        usleep(50000);
        peer.Send(other, "def", 3, nullptr);
    });
    EXPECT_EQ(ReceiveSoon(TheSocketTable(), slot, buffer, 6, 1), 6);
    EXPECT_STREQ(buffer, "abcdef");
    halves.join();
    peer.Close(other);
    SocketShutdown();
    EXPECT_EQ(ReceiveSoon(TheSocketTable(), slot, buffer, 8, 0), 0);
    SocketShutdown();
    EXPECT_EQ(SocketClose(slot), -1); // the last shutdown closed it
}

TEST(SocketTable, UdpDatagramsGoBothWaysAndNeedADestination) {
    SocketSlotTable table;
    const int portA = test::FreePort(), portB = test::FreePort();
    const std::int32_t a = table.OpenUdp(portA), b = table.OpenUdp(portB);
    const SocketAddress toA = Loopback(portA), toB = Loopback(portB), nowhere;
    EXPECT_EQ(table.Send(a, "ping", 4, nullptr), -1);
    EXPECT_EQ(table.Send(a, "ping", 4, &nowhere), -1);
    EXPECT_EQ(table.Send(a, "ping", 4, &toB), 4);
    EXPECT_EQ(table.Send(b, "pong!", 5, &toA), 5);
    char got[8] = {};
    EXPECT_EQ(std::string(got, ReceiveSoon(table, b, got, 8, 0)), "ping");
    EXPECT_EQ(std::string(got, ReceiveSoon(table, a, got, 8, 0)), "pong!");
    EXPECT_EQ(table.Accept(a, nullptr), -1);
    EXPECT_EQ(table.LastError(), 0);
    // Closing a UDP slot closes its socket: the port is free again.
    EXPECT_EQ(table.Close(a), 0);
    EXPECT_EQ(table.OpenUdp(portA), a);
}

TEST(SocketTable, NamesAddressesAndErrorTexts) {
    SocketSlotTable table;
    std::int32_t count = -1;
    const std::string own = table.OwnAddresses(";", &count);
    EXPECT_EQ(count, std::count(own.begin(), own.end(), ';'));
    EXPECT_EQ(own.find("127."), std::string::npos) << own;
    EXPECT_EQ(SocketAddressToText(table.Resolve("", 80)), count > 0 ? own.substr(0, own.find(';')) : "127.0.0.1");
    EXPECT_EQ(table.Resolve("localhost", 8080), MakeSocketAddress(127, 0, 0, 1, 8080));
    EXPECT_EQ(SocketAddressToText(MakeSocketAddress(192, 168, 1, 20, 0)), "192.168.1.20");
    const std::pair<std::int32_t, std::string> texts[] = {
        {ECONNREFUSED, "111 Connection refused"},
        {0, "0 Success"},
        {9999, ""},
        {EAI_NONAME, "-2 Name or service not known"},
    };
    for (const auto& [error, text] : texts)
        EXPECT_EQ(SocketErrorToText(error), text) << error;
}

TEST(SocketTable, SlotsRunOutAtTheThousandAndTwentyFourth) {
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 1200));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &files), 0);
    ASSERT_GE(files.rlim_cur, 1100u) << "the open-file limit cannot be raised far enough";

    SocketSlotTable table, peer;
    const int port = test::FreePort();
    for (std::int32_t slot = 0; slot < kSocketSlotCount - 1; ++slot)
        ASSERT_EQ(table.OpenUdp(0), slot);
    const std::int32_t listening = table.Listen(port);
    ASSERT_EQ(listening, kSocketSlotCount - 1);
    const std::int32_t client = peer.Connect(Loopback(port)); // waits in the backlog
    for (const auto& open :
         {+[](SocketSlotTable&t, int) { return t.OpenUdp(0); }, +[](SocketSlotTable&t, int) { return t.Listen(0); },
          +[](SocketSlotTable&t, int p) { return t.Connect(Loopback(p)); },
          +[](SocketSlotTable&t, int) { return AcceptSoon(t, kSocketSlotCount - 1); }}) {
        EXPECT_EQ(open(table, port), -1);
        EXPECT_EQ(SocketErrorToText(table.LastError()), "8 no free socket slot");
    }
    char byte;
    EXPECT_EQ(ReceiveSoon(peer, client, &byte, 1, 0), 0); // the connection taken was closed
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
    EXPECT_EQ(table.Connect(Loopback(test::FreePort())), -1);
    EXPECT_EQ(table.LastError(), ECONNREFUSED);
}

TEST(SocketTable, SendingToAClosedPeerFailsWithoutEndingTheProcess) {
    std::signal(SIGPIPE, SIG_DFL); // whatever started the test may ignore it
    SocketSlotTable table, peer;
    const int port = test::FreePort();
    const std::int32_t listening = peer.Listen(port);
    const std::int32_t slot = table.Connect(Loopback(port));
    peer.Close(AcceptSoon(peer, listening));
    std::vector<char> block(1 << 16);
    std::int32_t result = 0;
    for (int i = 0; i < 100 && result >= 0; ++i)
        result = table.Send(slot, block.data(), 1 << 16, nullptr);
    EXPECT_EQ(result, -1);
    // Once the reset has been reported, the system answers with EPIPE.
    EXPECT_EQ(table.Send(slot, block.data(), 1, nullptr), -1);
    EXPECT_EQ(table.LastError(), EPIPE);
}

} // namespace
} // namespace vlm
