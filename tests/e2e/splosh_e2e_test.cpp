// The real game binary, played from start to end: with scripted input
// (frame-exact, unpaced, checked on its frame shots) and with real X input
// at real speed. The game runs from a folder of its own with test art whose
// colours say what each frame is.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "frame/x_session.h"
#include "game/board.h"
#include "game/game_text.h"
#include "gfx2d/image_decoders.h"
#include "support/pictures.h"
#include "support/temp_folder.h"
// Last: Xlib's macros would reach into the headers after it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace splosh {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Rgb = vlm::test::Rgba;
using test::Record;
using vlm::test::Opaque;

// ---- Test art: glyphs have a white left edge, so that text reads back letter
// by letter whatever its spacing; their body colour names font and character.
constexpr Rgb kEdge = Opaque(255, 255, 255), kMarker = Opaque(250, 250, 0), kKey = Opaque(255, 0, 128);
Rgb BlockColour(int c) { return Opaque(std::uint8_t(10 + 30 * c), 0, 200); }
Rgb GlyphColour(int font, int k) { return Opaque(std::uint8_t(30 + 2 * k), std::uint8_t(100 + 50 * font), 50); }

// A row of frames of w x h pixels; colour(frame, x, y) inside a frame.
template <class Colour> void WriteStrip(const fs::path& file, int w, int h, int frames, Colour colour) {
    vlm::test::WritePicture(file,
                            vlm::test::MakeImage(w * frames, h, [&](int x, int y) { return colour(x / w, x % w, y); }));
}

void WriteArt(const fs::path& gfx) {
    fs::create_directories(gfx);
    WriteStrip(gfx / "blocks.bmp", 16, 16, 8, [](int f, int, int) { return BlockColour(f); });
    WriteStrip(gfx / "colours.bmp", 32, 32, 6, [](int f, int, int) { return BlockColour(f); });
    const int sizes[][2] = {{16, 28}, {5, 7}, {10, 14}};
    for (int font = 0; font < 3; ++font) {
        WriteStrip(gfx / ("font" + std::to_string(font + 1) + ".bmp"), sizes[font][0], sizes[font][1], 96,
                   [font](int k, int x, int) { return x == 0 ? kEdge : GlyphColour(font, k); });
    }
    WriteStrip(gfx / "rainbow.bmp", 96, 4, 1, [](int, int, int) { return Opaque(0, 0, 90); });
    WriteStrip(gfx / "spectrum.bmp", 75, 21, 7, [](int f, int x, int y) {
        return f < 6 ? Opaque(0, std::uint8_t(40 + 30 * f), 0) : x == 0 || y == 0 ? kMarker : kKey;
    });
}

// ---- A frame shot, read in the game's 320 x 240 picture ------------------------
struct Shot {
    vlm::ImageBuffer image;

    Rgb At(int x, int y) const { return vlm::test::PixelOf(image, 2 * x + 1, 2 * y + 1); }
    // The text in a font from x0 to x1 on the line at y; xs gets each letter's x.
    std::string Text(int x0, int x1, int y, int font, std::vector<int>* xs = nullptr) const {
        std::string text;
        for (int x = x0; x < x1; ++x) {
            const Rgb body = At(x + 1, y + 2);
            if (At(x, y + 2) != kEdge || body[1] != 100 + 50 * font) continue;
            text += static_cast<char>((body[0] - 30) / 2 + 32);
            if (xs) xs->push_back(x);
        }
        return text;
    }
    // The field's colours, row by row, as digits.
    std::string Field() const {
        std::string colours;
        for (int y = 1; y <= 14; ++y) {
            for (int x = 1; x <= 14; ++x) {
                const Rgb c = At(16 * x, 16 * y);
                colours += c[2] == 200 && c[1] == 0 ? static_cast<char>('0' + (c[0] - 10) / 30) : '?';
            }
        }
        return colours;
    }
};

// A number over "0000", as the counters show it.
std::string Counter(double value) {
    const std::string text = std::to_string(static_cast<int>(value));
    return std::string(4 - std::min<std::size_t>(4, text.size()), '0') + text;
}

// Input by frame: the n-th frame shown applies a line, the next frame reads it.
struct Script {
    std::ostringstream text;
    void Click(int frame, int x, int y) {
        text << frame << " move " << x << ' ' << y << '\n' << frame << " down 1\n" << frame + 1 << " up 1\n";
    }
    void Key(int frame, int code, int frames = 1) {
        text << frame << " keydown " << code << '\n' << frame + frames << " keyup " << code << '\n';
    }
    void Shot(int frame) { text << frame << " shot " << frame << ".bmp\n"; }
};

class Splosh : public ::testing::Test {
protected:
    Splosh() {
        // No audio device, and a user data folder of the test's own.
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        ::setenv("XDG_DATA_HOME", (temp_ / "xdg").c_str(), 1);
        fs::create_directories(game_);
        fs::copy_file(SPLOSH_PATH, game_ / "splosh");
        WriteArt(game_ / "Media/gfx");
    }

    // Runs the game on the script; its exit code.
    int Run(const Script& script) {
        vlm::test::WriteWholeFile(temp_ / "input.txt", script.text.str());
        const std::string command = "VELMORA_UNPACED=1 VELMORA_INPUT_SCRIPT='" + (temp_ / "input.txt").string() +
                                    "' timeout 300 '" + (game_ / "splosh").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Shot ShotOf(int frame) const {
        Shot shot;
        EXPECT_TRUE(
            vlm::LoadImageFile(shot.image, (temp_ / (std::to_string(frame) + ".bmp")).string(), vlm::kNoColourKey))
            << frame;
        if (shot.image.width != 640) shot.image.Allocate(640, 480);
        return shot;
    }
    std::vector<std::string> Log() const { return vlm::test::ReadLogLines(temp_ / "ErrorLog.txt"); }
    std::string Table() const { return vlm::test::ReadWholeFile(game_ / "Media/data/table.dat"); }

    vlm::test::TempFolder temp_; // also the log's folder
    fs::path game_ = temp_ / "game";
};

const std::vector<std::string> kStartAndEnd = {"Init GFX", "Init Finalized", "Shut down VLM"};
// Setting the screen size shows five frames; title frame n is shown frame n + 5.
constexpr int kTitle = 5;
// A choice every 25 frames wins level 1; it was found by a greedy search.
constexpr const char* kLevel1Win = "4351320142504130245130";

TEST_F(Splosh, PlaysWinsLosesEntersANameAndEnds) {
    // A table of another tool: other name lengths, bare line feeds, a negative score.
    std::vector<std::pair<std::string, int>> table = {{"LONGNAME", 9000}, {"X", -5}};
    for (int i = 3; i <= 10; ++i)
        table.push_back({"N" + std::to_string(i), 10 - i});
    std::string stored;
    for (const auto& [name, score] : table)
        stored += Record(name, score, score < 0 ? "\r\n" : "\n");
    fs::create_directories(game_ / "Media/data");
    vlm::test::WriteWholeFile(game_ / "Media/data/table.dat", stored);

    // The title is clicked in its frame 205; play frame p is shown frame
    // kStart + 1 + p and reads the input of frame kStart + p.
    constexpr int kStart = kTitle + 205, kNextLevel = 600, kExit = 1540;
    Script script;
    for (int frame : {1, 20, 200})
        script.Shot(kTitle + frame);
    script.Click(kStart, 320, 240);
    std::map<int, int> choices; // play frame -> swatch
    for (int i = 0; kLevel1Win[i]; ++i)
        choices[25 + 25 * i] = kLevel1Win[i] - '0';
    for (int i = 0; i < 30; ++i)
        choices[710 + 25 * i] = 1 + i % 2; // 30 charges lose level 2's 29 moves
    for (const auto& [p, swatch] : choices)
        script.Click(kStart + p, 560, (swatch * 25 + 58) * 2);
    script.Click(kStart + kNextLevel, 550, 240);
    script.Click(kStart + kExit, 550, 330);
    const int playShots[] = {1, 300, 599, 601, 1539}; // dealt, playing, done, level 2, lost
    for (int p : playShots)
        script.Shot(kStart + 1 + p);

    // Name entry: entry frame e is shown frame kEntry + e (the exit frame is
    // not shown); keys count from e = 21.
    constexpr int kEntry = kStart + kExit;
    script.Key(kEntry + 20, 205, 11); // right, held: moves at e = 21, 26, 31 to "B"
    script.Key(kEntry + 40, 17);      // W types it
    script.Key(kEntry + 65, 203);     // left to "A"
    script.Key(kEntry + 90, 17);
    script.Key(kEntry + 115, 1, 5); // Escape finishes; the game waits for its release
    script.Shot(kEntry + 121);      // the title again
    script.Click(kEntry + 130, 320, 240);
    script.Shot(kEntry + 132); // a new game
    script.Key(kEntry + 140, 1);
    ASSERT_EQ(Run(script), 0);
    EXPECT_EQ(Log(), kStartAndEnd);

    const std::string prompt = "PRESS BUTTON OR SCREEN TO PLAY";
    EXPECT_EQ(ShotOf(kTitle + 1).Text(0, 320, 160, 2), prompt);
    EXPECT_EQ(ShotOf(kTitle + 20).Text(0, 320, 160, 2), "");
    const Shot tableShot = ShotOf(kTitle + 200);
    EXPECT_EQ(tableShot.Text(0, 320, 5, 2), "TOP SPLOSHERS");
    for (const auto& [slot, row] : {std::pair{1, "LONGNAME 9000"}, {2, "X -5"}, {10, "N10 0"}}) // name, then score
        EXPECT_EQ(tableShot.Text(100, 200, slot * 20 + 10, 2) + " " + tableShot.Text(200, 320, slot * 20 + 10, 2), row);
    const Rgb logo = tableShot.At(9 * 14 + 7, 2 * 14 + 40); // a block of the "l", darkened to 15 %
    EXPECT_NEAR(logo[0], 0.15 * BlockColour(7)[0], 1.5);

    // The same rules, frame by frame, say what each frame shows.
    GameGlobals sim;
    CreateGameArrays(sim);
    NewLevel(sim);
    int selection = 0;
    for (int p = 1; p <= kExit; ++p) {
        const std::string field = test::Field(sim); // drawn before the frame's choice and sweep
        if (choices.count(p)) ChooseColour(sim, selection = choices[p]);
        RulesFrame(sim);
        if (std::count(std::begin(playShots), std::end(playShots), p)) {
            const Shot shot = ShotOf(kStart + 1 + p);
            EXPECT_EQ(shot.Field(), field) << p;
            const bool done = sim.PlayState == LevelDone, lost = sim.PlayState == Lost;
            EXPECT_EQ(shot.Text(240, 320, 10, 0), done ? "DONE" : lost ? "LOSE" : Counter(sim.MovesLeft)) << p;
            EXPECT_EQ(shot.Text(240, 320, 203, 0), Counter(sim.Score)) << p;
            EXPECT_EQ(shot.Text(240, 320, 110, 2) + shot.Text(240, 320, 122, 2) + shot.Text(240, 320, 160, 2),
                      done   ? "NEXTLEVEL"
                      : lost ? "RESTARTGAMEEXIT"
                             : "")
                << p;
            EXPECT_EQ(shot.At(240, selection * 25 + 48) == kMarker, !done && !lost) << p;
        }
        if (p == kNextLevel) {
            ASSERT_EQ(sim.PlayState, LevelDone);
            NextLevel(sim);
        }
    }
    ASSERT_EQ(sim.PlayState, Lost);
    std::vector<int> xs;
    EXPECT_EQ(ShotOf(kStart + 2).Text(240, 320, 39, 1, &xs), "MOVES REMAINING");
    EXPECT_EQ(xs, (std::vector<int>{244, 250, 255, 260, 265, 270, 275, 280, 285, 291, 296, 298, 303, 305, 310}));
    EXPECT_EQ(ShotOf(kEntry + 121).Text(0, 320, 160, 2), prompt);

    // After the entry a new game starts at level 1 with a score from 0: its
    // first frame is the first game's.
    EXPECT_TRUE(ShotOf(kEntry + 132).image.pixels == ShotOf(kStart + 2).image.pixels);

    // "BA" with the final score, sorted in below equal scores; the eleventh falls out.
    table.push_back({"BA", static_cast<int>(sim.Score)});
    std::stable_sort(table.begin(), table.end(), [](auto& a, auto& b) { return a.second > b.second; });
    std::string bytes;
    for (int i = 0; i < 10; ++i)
        bytes += Record(table[i].first, table[i].second);
    EXPECT_EQ(Table(), bytes);
}

// The colour of a window pixel.
Rgb WindowPixel(const std::string& display, unsigned long window, int x, int y) {
    Rgb colour{};
    if (Display* x11 = XOpenDisplay(display.c_str())) {
        if (XImage* image = XGetImage(x11, window, x, y, 1, 1, AllPlanes, ZPixmap)) {
            const unsigned long pixel = XGetPixel(image, 0, 0);
            colour = Opaque(std::uint8_t(pixel >> 16), std::uint8_t(pixel >> 8), std::uint8_t(pixel));
            XDestroyImage(image);
        }
        XCloseDisplay(x11);
    }
    return colour;
}

TEST_F(Splosh, PlaysWithRealMouseAndKeys) {
    vlm::test::XSession x;
    ASSERT_TRUE(x.Ready());
    x.Start((game_ / "splosh").string(), {});
    std::string window;
    ASSERT_TRUE(vlm::test::WaitUntil([&] { return !(window = x.Xdotool("search --name '^splosh$'")).empty(); }, 10s));
    const auto pixel = [&](int wx, int wy) { return WindowPixel(x.DisplayName(), std::stoul(window), wx, wy); };
    // Clicks, each held as a hand holds it (the game looks at the button once
    // a frame), until the window shows what the click should bring.
    const auto clickUntil = [&](int wx, int wy, auto shown) {
        for (int i = 0; i < 50 && !shown(); ++i) {
            x.Xdotool("mousemove --window " + window + " " + std::to_string(wx) + " " + std::to_string(wy) +
                      " mousedown 1 sleep 0.15 mouseup 1 sleep 0.1");
        }
        return shown();
    };
    x.Xdotool("windowactivate --sync " + window);
    // The title's logo block in the "l", then the board's start cell (window 16..47).
    const auto isBlock = [&](int c) { return [&, c] { return pixel(32, 32) == BlockColour(c); }; };
    EXPECT_TRUE(vlm::test::WaitUntil([&] { return pixel(267, 137) == BlockColour(7); }, 10s)) << "no title";
    ASSERT_TRUE(clickUntil(320, 240, [&] { return pixel(32, 32)[2] == 200; })) << "no board";
    int swatch = 1;
    while (swatch < 5 && isBlock(swatch)())
        ++swatch;
    EXPECT_TRUE(clickUntil(560, (swatch * 25 + 58) * 2, isBlock(swatch))) << "the start cell takes the swatch's colour";

    x.Xdotool("key Escape");
    EXPECT_EQ(x.WaitForExit(10s), 0);
    EXPECT_EQ(Log(), kStartAndEnd);
    EXPECT_EQ(Table(), test::DefaultTable()) << "the first start writes the default table";
}

} // namespace
} // namespace splosh
