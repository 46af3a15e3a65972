#include "audio/music.h"

#include "audio/disk_audio.h"
#include "frame/frame_loop.h"

namespace vlm::test {
namespace {

class Music : public DiskAudio {
protected:
    // A 440 Hz tone of `toneSeconds` at the start of a track of `seconds`.
    DynString Track(const std::string& name, double toneSeconds, double seconds) {
        const std::string sine = "sine=frequency=440:duration=" + std::to_string(toneSeconds);
        return DynString(MakeClip(name, "-f lavfi -i " + sine + " -af apad=whole_dur=" + std::to_string(seconds)));
    }
    // Frames of the program (10 ms each) for a while.
    static void RunFrames(int ms) {
        for (int t = 0; t < ms; t += 10) {
            IdleTick();
            Wait(10);
        }
    }
};

TEST_F(Music, OggAndMp3PlayWithTheirLength) {
    for (const char* name : {"one.ogg", "one.mp3"}) {
        SCOPED_TRACE(name);
        const DynString track = Track(name, 1, 1);
        const double start = MillisecondsNow();
        PlayMusic(track, 1);
        // The loop restarts after the track's length.
        EXPECT_NEAR(TheMusic().MusicRestartTime - start, 1000, 80);
        const double playing = Now();
        Wait(300);
        StopMusic();
        const double stopped = Now();
        Wait(200);
        const Recording heard = Recorded();
        EXPECT_GT(heard.Level(0, playing + 100, playing + 250), 1000);
        EXPECT_LT(heard.Level(0, stopped + 100, stopped + 200), 1);
        ASSERT_TRUE(CreateTheSoundDevice().Open());
        opened_ = MillisecondsNow();
    }
}

TEST_F(Music, ALoopingTrackStartsAgainByTheClock) {
    struct Row {
        std::int32_t loop;
        std::size_t starts;
    };
    for (const Row row : {Row{1, 3}, Row{0, 1}}) {
        SCOPED_TRACE(row.loop);
        PlayMusic(Track("tick.ogg", 0.2, 1), row.loop);
        RunFrames(2600);
        const std::vector<double> onsets = Recorded().Onsets(500);
        ASSERT_EQ(onsets.size(), row.starts);
        for (std::size_t i = 1; i < onsets.size(); ++i)
            EXPECT_NEAR(onsets[i] - onsets[i - 1], 1000, 120);
        ASSERT_TRUE(CreateTheSoundDevice().Open());
    }
}

TEST_F(Music, VolumeFollowsTheCacheRules) {
    SetMusicVolume(0.5); // no music: only remembered, playing starts at full volume
    PlayMusic(Track("long.ogg", 3, 3), 0);
    const double full = Now();
    Wait(400);
    SetMusicVolume(0.5);
    const double half = Now();
    Wait(400);
    SetMusicVolume(0.25);
    const double quarter = Now();
    Wait(400);
    const Recording heard = Recorded();
    const double level = heard.Level(0, full + 100, full + 300);
    EXPECT_NEAR(heard.Level(0, half + 100, half + 300) / level, 0.5, 0.03);
    EXPECT_NEAR(heard.Level(0, quarter + 100, quarter + 300) / level, 0.25, 0.03);
}

TEST_F(Music, AMissingFileStopsTheOldTrack) {
    PlayMusic(Track("long.ogg", 3, 3), 1);
    Wait(200);
    PlayMusic(DynString("missing.ogg"), 1);
    const double stopped = Now();
    EXPECT_EQ(TheMusic().MusicRestartTime, 0);
    Wait(300);
    EXPECT_LT(Recorded().Level(0, stopped + 100, stopped + 300), 1);
}

} // namespace
} // namespace vlm::test
