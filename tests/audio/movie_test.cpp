// Movies in a real window under Xvfb: the pictures are read back as each
// one is shown, through an input source that also presses a key when asked.
#include "audio/movie.h"

#include <GL/gl.h>

#include "audio/disk_audio.h"
#include "files/error_state.h"
#include "frame/display.h"
#include "input/input_devices.h"

namespace vlm::test {
namespace {

using Rgb = std::array<bool, 3>; // each channel nearer its top than its bottom (video colours are not exact)
constexpr Rgb kRed{true, false, false}, kBlue{false, false, true}, kBlack{};

struct Seen {
    Rgb middle, edge; // of the 160 x 60 window: its centre and a point left of a centred 4:3 picture
};

class WatchingInput : public InputSource {
public:
    explicit WatchingInput(std::size_t pressAfterFrames) : pressAfterFrames_(pressAfterFrames) {}
    // Mesa's software renderer keeps the picture just shown in the back buffer.
    void BeginFrame(std::uint32_t) override { seen.push_back({Pixel(80, 30), Pixel(10, 30)}); }
    bool ReadKeys(std::span<std::uint8_t, 256> state) override {
        std::fill(state.begin(), state.end(), 0);
        if (seen.size() >= pressAfterFrames_) state[57] = 0x80; // Space
        return true;
    }
    PointerSample ReadPointer(bool) override { return {.Moved = false}; }
    std::uint32_t ReadButtons() override { return 0; }
    std::uint8_t TypedCharacter(std::uint8_t) const override { return 0; }
    std::vector<Seen> seen;

private:
    static Rgb Pixel(int x, int y) {
        std::array<std::uint8_t, 4> p{};
        glReadPixels(x, 60 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return {p[0] > 127, p[1] > 127, p[2] > 127};
    }
    std::size_t pressAfterFrames_;
};

class Movies : public DiskAudio {
protected:
    void SetUp() override {
        DiskAudio::SetUp();
        ASSERT_TRUE(CreateDisplayWindow(CreateTheDisplay(), 160, 60, 0, 60, 0, false));
        CreateTheInput();
    }
    void TearDown() override {
        DestroyTheInput();
        DestroyTheDisplay();
        DiskAudio::TearDown();
    }
    // Red, then blue, `ms` each, 64 x 48 at 25 frames a second, with a tone throughout.
    DynString RedThenBlue(int ms) {
        const std::string part = ":s=64x48:r=25:d=" + std::to_string(ms / 1000.0);
        return DynString(MakeClip("bars.mp4", "-f lavfi -i color=c=red" + part + " -f lavfi -i color=c=blue" + part +
                                                  " -f lavfi -i sine=duration=" + std::to_string(ms / 500.0) +
                                                  " -filter_complex '[0][1]concat=n=2:v=1:a=0' -c:v mpeg4 -q:v 2"));
    }
    // Plays with a key pressed after so many pictures; what was seen.
    std::vector<Seen> Play(const DynString& file, std::int32_t loop, std::size_t pressAfter) {
        auto watcher = std::make_unique<WatchingInput>(pressAfter);
        const std::vector<Seen>& seen = watcher->seen;
        TheInput()->UseSource(std::move(watcher));
        EXPECT_EQ(PlayMovie(file, loop), 0);
        return seen;
    }
};

// Whether the middle showed `later` after it had shown `first`.
bool ShownAfter(const std::vector<Seen>& seen, Rgb first, Rgb later) {
    const auto it = std::find_if(seen.begin(), seen.end(), [&](const Seen& s) { return s.middle == first; });
    return std::any_of(it, seen.end(), [&](const Seen& s) { return s.middle == later; });
}

TEST_F(Movies, PicturesComeInOrderScaledWithTheirSoundUntilTheEndOrAKeyLoopingWhenAsked) {
    // 20 pictures a round of 800 ms: played out, or the key comes in the first round or, looping, the second.
    struct Row {
        std::int32_t loop;
        std::size_t pressAfter, shown;
        double leastMs; // no picture comes before its time
    };
    for (const Row row : {Row{0, 1000, 20, 780}, Row{0, 5, 5, 140}, Row{1, 30, 30, 1140}}) {
        SCOPED_TRACE(row.pressAfter);
        const DynString clip = RedThenBlue(400);
        const double start = MillisecondsNow();
        const std::vector<Seen> seen = Play(clip, row.loop, row.pressAfter);
        EXPECT_GE(MillisecondsNow() - start, row.leastMs);
        ASSERT_EQ(seen.size(), row.shown);
        EXPECT_EQ(seen.front().middle, kRed);
        EXPECT_EQ(seen.front().edge, kBlack); // left of the centred 4:3 picture
        EXPECT_EQ(ShownAfter(seen, kRed, kBlue), row.shown > 10);
        EXPECT_EQ(ShownAfter(seen, kBlue, kRed), row.loop != 0);
        EXPECT_GT(Recorded().Peak(0), row.shown == 20 ? 3000 : 0); // the tone, 4096 at its top
        Reopen();
    }
}

TEST_F(Movies, WhatIsNoMovieGivesNoSuchFile) {
    ConstantWave("sound.wav", 1000, 100);
    WriteWholeFile(temp_ / "text.mp4", "not a movie");
    for (const std::string name : {"missing.mp4", "sound.wav", "text.mp4"}) {
        SCOPED_TRACE(name);
        SetErrorCode(kErrorSuccess);
        EXPECT_EQ(PlayMovie(DynString((temp_ / name).string()), 1), kErrorNoSuchFile); // at once: nothing plays
        EXPECT_EQ(TheErrorState().LastErrorCode, kErrorNoSuchFile);
    }
}

} // namespace
} // namespace vlm::test
