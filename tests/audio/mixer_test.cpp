// The mixer as it is heard: sound effects in their slots and voices, and music tracks.
#include "audio/music.h"
#include "audio/sound_table.h"

#include "audio/disk_audio.h"
#include "frame/frame_loop.h"

namespace vlm::test {
namespace {

constexpr std::int16_t kLevel = 20000;

class SoundEffects : public DiskAudio {
protected:
    // Loads a sound of constant samples lasting `ms` into the slot.
    void Load(std::int32_t slot, std::int32_t voices, int ms = 200, std::int16_t level = kLevel) {
        LoadSound(ConstantWave("s" + std::to_string(slot) + ".wav", level, ms), slot, voices);
    }
};

double Decibels(std::int32_t peak) { return peak == 0 ? -999 : 20 * std::log10(peak / double(kLevel)); }

TEST_F(SoundEffects, LevelAndPanFollowTheDecibelRule) {
    struct Row {
        double volume, pan, left, right; // the sides in dB; -999 silent
    };
    // Hundredths of a decibel: 0.755 is 75 (truncated), -2500; a pan of 0.25 takes 2500 more off the left.
    for (const Row& row :
         {Row{1, 0, 0, 0}, Row{0.5, 0, -50, -50}, Row{0.755, 0, -25, -25}, Row{2, 0, 0, 0}, Row{-1, 0, -999, -999},
          Row{1, -3, 0, -999}, Row{1, 0.25, -25, 0}, Row{0.9, -0.5, -10, -60}}) {
        SCOPED_TRACE(testing::Message() << row.volume << " " << row.pan);
        Load(1, 1);
        EXPECT_EQ(PlaySound(1, row.pan, row.volume), 256);
        Wait(100);
        const Recording heard = Recorded();
        EXPECT_NEAR(Decibels(heard.Peak(0)), row.left, 0.3);
        EXPECT_NEAR(Decibels(heard.Peak(1)), row.right, 0.3);
        Reopen();
    }
}

TEST_F(SoundEffects, VoicesMixAndTheOldestIsCut) {
    Load(2, 1, 400, 8000);
    Load(3, 2, 400, 8000);
    EXPECT_EQ(PlaySound(2, 0, 1), 512);
    EXPECT_EQ(PlaySound(2, 0, 1), -1); // one voice, still playing: not restarted
    EXPECT_EQ(PlaySound(3, 0, 1), 768);
    EXPECT_EQ(PlaySound(3, 0, 1), 769);
    EXPECT_EQ(SoundPlaying(769), 1);
    EXPECT_EQ(PlaySound(3, 0, 1), 768); // both play: voice 0 is cut and starts again
    Wait(150);
    EXPECT_EQ(Recorded().Peak(0), 3 * 8000); // three voices sound at once, each on its own
}

TEST_F(SoundEffects, StopStopAllAndReleaseSilence) {
    struct Row {
        void (*action)();
        int plays;
        std::int32_t voicesAfter;
    };
    for (const Row row : {Row{[] { StopSound(4 * 256); }, 1, 2}, Row{[] { StopSound(4 * 256 + 7); }, 2, 2},
                          Row{[] { StopAllSounds(); }, 2, 2}, Row{[] { ReleaseSound(4); }, 2, 0}}) {
        Load(4, 2, 2000);
        for (int i = 0; i < row.plays; ++i)
            PlaySound(4, 0, 1);
        Wait(100);
        row.action();
        const double stopped = Now();
        EXPECT_EQ(SoundPlaying(4 * 256) + SoundPlaying(4 * 256 + 1), 0);
        EXPECT_EQ(TheSoundTable()->Record(4).VoiceCount, row.voicesAfter);
        Wait(150);
        EXPECT_EQ(Recorded().Level(0, stopped + 60, stopped + 150), 0);
        Reopen();
    }
}

TEST_F(SoundEffects, SlotsAndVoicesAreHeldToTheirRanges) {
    struct Row {
        std::int32_t slot, voices, usedSlot, voiceCount;
    };
    for (const Row row : {Row{5, 0, 5, 1}, Row{6, 9, 6, 4}, Row{300, 2, 255, 2}, Row{-1, 2, 0, 0}}) {
        Load(row.slot, row.voices);
        EXPECT_EQ(TheSoundTable()->Record(row.usedSlot).VoiceCount, row.voiceCount);
    }
    EXPECT_EQ(PlaySound(300, 0, 1), 255 * 256);
    EXPECT_EQ(PlaySound(-1, 0, 1), -1);
    // A file that is not there, or a device that is not there, leaves the slot empty.
    LoadSound(DynString("missing.wav"), 5, 1);
    EXPECT_EQ(TheSoundTable()->Record(5).VoiceCount, 0);
    DestroyTheSoundDevice();
    Load(7, 1);
    EXPECT_EQ(TheSoundTable()->Record(7).VoiceCount, 0);
    EXPECT_EQ(PlaySound(7, 0, 1), -1);
}

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
