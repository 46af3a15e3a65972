// The example programs, started for a few frames with scripted input.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <sstream>
#include <thread>

#include "net/socket_slot_table.h"
#include "platform/process.h"
#include "support/free_port.h"
#include "support/pictures.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

namespace vlm {
namespace {

// Runs a program with scripted input; its output when it ended with 0.
std::optional<std::string> RunExample(const test::TempFolder& temp, const std::string& script,
                                      std::vector<std::string> arguments) {
    test::WriteWholeFile(temp / "script.txt", script);
    ::setenv("VELMORA_INPUT_SCRIPT", (temp / "script.txt").c_str(), 1);
    return platform::RunForOutput(arguments);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Examples, PathDemoDrawsTheRoutesItFinds) {
    test::TempFolder temp;
    ::setenv("VELMORA_UNPACED", "1", 1);
    // Start (5, 4) by the left button, end (32, 22) by the right, then the
    // weight up and diagonal steps on.
    const std::optional<std::string> output = RunExample(
        temp,
        "2 move 88 72\n3 down 1\n4 up 1\n5 move 520 360\n6 down 2\n7 up 2\n8 shot " + (temp / "route.png").string() +
            "\n10 keydown 200\n11 keyup 200\n12 keydown 32\n13 keyup 32\n20 end\n",
        {PATH_DEMO});
    ASSERT_TRUE(output);
    const std::vector<std::string> lines = Lines(*output);
    ASSERT_EQ(lines.size(), 5u) << *output;
    const char* expected[] = {
        "route from 1,1 to 38,26, weight 0.5, straight: ", "route from 5,4 to 38,26, weight 0.5, straight: ",
        "route from 5,4 to 32,22, weight 0.5, straight: ", "route from 5,4 to 32,22, weight 0.6, straight: ",
        "route from 5,4 to 32,22, weight 0.6, diagonal: "};
    std::vector<int> cells;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(lines[i].starts_with(expected[i])) << lines[i];
        cells.push_back(std::atoi(lines[i].c_str() + std::strlen(expected[i])));
    }
    EXPECT_GE(cells[2], 27 + 18 + 1); // at least the Manhattan distance
    EXPECT_GE(cells[4], 27 + 1);      // at least the longer side with diagonals
    EXPECT_LT(cells[4], cells[3]);

    // The route's cells are drawn between the start (green) and the end (red).
    ImageBuffer shot;
    ASSERT_TRUE(LoadPngImage(shot, (temp / "route.png").string(), kNoColourKey));
    EXPECT_EQ(test::PixelOf(shot, 5 * 16 + 8, 4 * 16 + 8), test::Opaque(0, 0xC0, 0));
    EXPECT_EQ(test::PixelOf(shot, 32 * 16 + 8, 22 * 16 + 8), test::Opaque(0xE0, 0, 0));
    int routePixels = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            routePixels += test::PixelOf(shot, x, y) == test::Opaque(0xFF, 0xD0, 0);
    EXPECT_EQ(routePixels, (cells[2] - 2) * 7 * 7); // a 7 x 7 mark in each cell but the two ends
}

// The chat against a peer of the test's own: the chat types "hi", the peer
// sends "hello" and leaves once it has "hi", and the chat ends.
TEST(Examples, SocketChatTalksWithAPeerThatListensOrConnects) {
    for (const bool peerListens : {true, false}) {
        test::TempFolder temp;
        SocketSlotTable table;
        const int port = test::FreePort();
        const SocketAddress chatAddress = MakeSocketAddress(127, 0, 0, 1, port);
        const std::int32_t listening = peerListens ? table.Listen(port) : -1;
        std::optional<std::string> output;
        // Return opens the line, "hi", Return sends it; frame 1800 ends a chat that hangs.
        std::thread chat([&] {
            output = RunExample(temp,
                                "5 keydown 28\n6 keyup 28\n8 keydown 35\n9 keyup 35\n10 keydown 23\n11 keyup 23\n"
                                "12 keydown 28\n13 keyup 28\n1800 end\n",
                                {SOCKET_CHAT, std::to_string(port)});
        });
        std::int32_t peer = -1;
        EXPECT_TRUE(test::WaitUntil(
            [&] { return (peer = peerListens ? table.Accept(listening, nullptr) : table.Connect(chatAddress)) >= 0; },
            std::chrono::seconds(30)));
        EXPECT_EQ(table.Send(peer, "hello\n", 6, nullptr), 6);
        // Waits for the line, or for the chat to end.
        table.SetBlocking(peer, 1);
        char heard[3] = {};
        table.Receive(peer, heard, 3, 1);
        table.Close(peer);
        chat.join();
        EXPECT_EQ(std::string(heard, 3), "hi\n");
        ASSERT_TRUE(output);
        const std::string start = peerListens ? "connected to 127.0.0.1:" + std::to_string(port)
                                              : "listening on port " + std::to_string(port);
        std::vector<std::string> lines = Lines(*output);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), start);
        for (const char* line : {"me: hi", "peer: hello", "the peer has left"})
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << " in\n" << *output;
    }
}

} // namespace
} // namespace vlm
