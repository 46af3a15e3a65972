// Movies in a real window under Xvfb: the pictures are read back from the
// window as each one is shown, through an input source that also presses
// a key when asked.
#include "audio/movie.h"

#include <GL/gl.h>

#include "audio/disk_audio.h"
#include "files/error_state.h"
#include "frame/display.h"
#include "input/input_devices.h"

namespace vlm::test {
namespace {

using Rgb = std::array<std::uint8_t, 3>;
constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};

// The colours of the window's middle and left edge at each movie frame.
struct Seen {
    double ms;
    Rgb middle, edge;
};

class WatchingInput : public InputSource {
public:
    explicit WatchingInput(double pressAfterMs) : pressAfterMs_(pressAfterMs) {}
    void BeginFrame(std::uint32_t) override {
        // Mesa's software renderer keeps the shown picture in the back buffer.
        seen.push_back({MillisecondsNow() - start_, Pixel(80, 30), Pixel(10, 30)});
    }
    bool ReadKeys(std::span<std::uint8_t, 256> state) override {
        std::fill(state.begin(), state.end(), 0);
        if (MillisecondsNow() - start_ >= pressAfterMs_) state[57] = 0x80; // Space
        return true;
    }
    PointerSample ReadPointer(bool) override { return {.Moved = false}; }
    std::uint32_t ReadButtons() override { return 0; }

    std::vector<Seen> seen;

private:
    static Rgb Pixel(int x, int y) {
        std::array<std::uint8_t, 4> p{};
        glReadPixels(x, 60 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        // Video colours are not exact: each channel to its nearer end.
        return {std::uint8_t(p[0] > 127 ? 255 : 0), std::uint8_t(p[1] > 127 ? 255 : 0),
                std::uint8_t(p[2] > 127 ? 255 : 0)};
    }
    double start_ = MillisecondsNow();
    double pressAfterMs_;
};

class Movies : public DiskAudio {
protected:
    void SetUp() override {
        DiskAudio::SetUp();
        // A wide window: a 4:3 movie fills its middle 80 x 60 pixels.
        ASSERT_TRUE(CreateDisplayWindow(CreateTheDisplay(), 160, 60, 0, 60, 0, false));
        CreateTheInput();
    }
    void TearDown() override {
        DestroyTheInput();
        DestroyTheDisplay();
        DiskAudio::TearDown();
    }
    // Red, then blue, `ms` each, 64 x 48 at 25 frames a second, with a tone.
    DynString RedThenBlue(int ms) {
        const std::string part = ":s=64x48:r=25:d=" + std::to_string(ms / 1000.0);
        return DynString(
            MakeClip("bars.mp4", "-f lavfi -i color=c=red" + part + " -f lavfi -i color=c=blue" + part +
                                     " -f lavfi -i sine=frequency=440:duration=" + std::to_string(ms / 500.0) +
                                     " -filter_complex '[0][1]concat=n=2:v=1:a=0' -c:v mpeg4 -q:v 2"));
    }
    // Plays with a key pressed after `pressAfterMs`; what was seen, and how long it took.
    std::vector<Seen> Play(const DynString& file, std::int32_t loop, double pressAfterMs, double& tookMs) {
        auto watcher = std::make_unique<WatchingInput>(pressAfterMs);
        WatchingInput& watching = *watcher;
        TheInput()->UseSource(std::move(watcher));
        const double start = MillisecondsNow();
        EXPECT_EQ(PlayMovie(file, loop), 0);
        tookMs = MillisecondsNow() - start;
        return watching.seen;
    }
};

// Whether the middle showed `later` after it had shown `first`.
bool ShownAfter(const std::vector<Seen>& seen, Rgb first, Rgb later) {
    const auto it = std::find_if(seen.begin(), seen.end(), [&](const Seen& s) { return s.middle == first; });
    return std::any_of(it, seen.end(), [&](const Seen& s) { return s.middle == later; });
}

TEST_F(Movies, PicturesComeInOrderScaledToFitWithTheirSound) {
    double took = 0;
    const std::vector<Seen> seen = Play(RedThenBlue(400), 0, 1e9, took);
    ASSERT_GE(seen.size(), 15u);
    EXPECT_EQ(seen.front().middle, kRed);
    EXPECT_EQ(seen.back().middle, kBlue);
    EXPECT_EQ(seen.front().edge, kBlack); // outside the centred picture
    EXPECT_GE(took, 780);                 // no picture comes before its time
    EXPECT_GT(Recorded().Peak(0), 3000);  // the tone, 4096 at its top
}

TEST_F(Movies, AKeyEndsPlayAndLoopingStartsOver) {
    struct Row {
        std::int32_t loop;
        int partMs;
        double pressAfter;
        bool redAgain;
    };
    for (const Row row : {Row{0, 2000, 300, false}, Row{1, 400, 1500, true}}) {
        SCOPED_TRACE(row.loop);
        double took = 0;
        const std::vector<Seen> seen = Play(RedThenBlue(row.partMs), row.loop, row.pressAfter, took);
        EXPECT_GE(took, row.pressAfter);
        EXPECT_LT(took, row.loop ? 20000 : 3500); // well before the end of the movie
        EXPECT_EQ(ShownAfter(seen, kBlue, kRed), row.redAgain);
    }
}

TEST_F(Movies, WhatIsNoMovieGivesNoSuchFile) {
    WriteWholeFile(temp_ / "sound.wav", ConstantWave(1000, 4410));
    WriteWholeFile(temp_ / "text.mp4", "not a movie");
    for (const std::string name : {"missing.mp4", "sound.wav", "text.mp4"}) {
        SCOPED_TRACE(name);
        SetErrorCode(kErrorSuccess);
        const double start = MillisecondsNow();
        EXPECT_EQ(PlayMovie(DynString((temp_ / name).string()), 1), kErrorNoSuchFile);
        EXPECT_EQ(TheErrorState().LastErrorCode, kErrorNoSuchFile);
        EXPECT_LT(MillisecondsNow() - start, 500);
    }
}

} // namespace
} // namespace vlm::test
