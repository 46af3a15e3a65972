#include "audio/sound_table.h"

#include "audio/disk_audio.h"

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

} // namespace
} // namespace vlm::test
