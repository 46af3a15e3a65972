#include "audio/music.h"

#include "audio/disk_audio.h"
#include "frame/frame_loop.h"

namespace vlm::test {
namespace {

class Music : public DiskAudio {
protected:
    // A 440 Hz tone of `toneSeconds` at the start of a track of `seconds`.
    DynString Track(const std::string& name, double toneSeconds, double seconds) {
        return DynString(MakeClip(name, "-f lavfi -i sine=frequency=440:duration=" + std::to_string(toneSeconds) +
                                            " -af apad=whole_dur=" + std::to_string(seconds)));
    }
};

TEST_F(Music, OggAndMp3TracksLoopByTheClock) {
    struct Row {
        const char* name;
        std::int32_t loop;
    };
    for (const Row row : {Row{"tick.ogg", 1}, Row{"tick.mp3", 1}, Row{"tick.ogg", 0}}) {
        SCOPED_TRACE(row.name + std::to_string(row.loop));
        PlayMusic(Track(row.name, 0.2, 1), row.loop);
        // Where each start lies in the recording, and when it came by the clock.
        std::vector<double> starts{Now()}, clock{MillisecondsNow()};
        for (const double begin = MillisecondsNow(); MillisecondsNow() - begin < 2600; Wait(10)) {
            const double restart = TheMusic().MusicRestartTime;
            IdleTick(); // frames of 10 ms
            if (TheMusic().MusicRestartTime != restart) starts.push_back(Now()), clock.push_back(MillisecondsNow());
        }
        Wait(400);
        const Recording heard = Recorded();
        ASSERT_EQ(starts.size(), row.loop ? 3u : 1u);
        for (std::size_t i = 0; i < starts.size(); ++i) {
            // The tone sounds from each start, after the quiet end of the round before.
            EXPECT_GT(heard.Level(0, starts[i] + 30, starts[i] + 150), 500);
            if (i == 0) continue;
            EXPECT_LT(heard.Level(0, starts[i] - 400, starts[i] - 30), 1);
            EXPECT_GE(clock[i] - clock[i - 1], 990); // the track's length, less the time PlayMusic took
        }
        EXPECT_EQ(heard.Level(0, starts[0] + 300, starts[0] + 2600) < 1, row.loop == 0); // quiet after one round
        Reopen();
    }
}

TEST_F(Music, VolumeFollowsTheCacheRulesAndAMissingFileStopsTheTrack) {
    SetMusicVolume(0.5); // no music: only remembered, playing starts at full volume
    PlayMusic(Track("long.ogg", 3, 3), 1);
    std::vector<double> starts;
    for (const double volume : {1.0, 0.5, 0.25}) {
        SetMusicVolume(volume);
        starts.push_back(Now());
        Wait(400);
    }
    PlayMusic(DynString("missing.ogg"), 1);
    starts.push_back(Now());
    EXPECT_EQ(TheMusic().MusicRestartTime, 0);
    Wait(300);
    const Recording heard = Recorded();
    const double full = heard.Level(0, starts[0] + 100, starts[0] + 300);
    EXPECT_NEAR(heard.Level(0, starts[1] + 100, starts[1] + 300) / full, 0.5, 0.03);
    EXPECT_NEAR(heard.Level(0, starts[2] + 100, starts[2] + 300) / full, 0.25, 0.03);
    EXPECT_LT(heard.Level(0, starts[3] + 100, starts[3] + 300), 1);
}

} // namespace
} // namespace vlm::test
