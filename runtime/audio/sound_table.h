// Sound effects: the table of sound slots. A slot holds one sound, decoded
// once, that up to four voices play at the same time. A play answers a
// channel number, slot * 256 + voice, that names the voice.
//
// Volume and pan reach the mixer as the original sound device took them:
// the volume v (0..1) becomes v * 100 - 10000 hundredths of a decibel, an
// attenuation with gain 10^(mB / 2000) (so 0.5 is about -50 dB), and the
// pan (-1..1, as -10000..10000) attenuates only the other side by the same
// rule; -10000 is silence.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "audio/sound_device.h"
#include "values/dyn_string.h"

namespace vlm {

namespace platform {
class SampleBuffer;
}

struct SoundEffect {
    std::int32_t VoiceCount = 0;                     // 1..4 when loaded; 0 when empty
    std::int32_t CurrentVoice = 0;                   // the voice of the last play
    std::unique_ptr<platform::SampleBuffer> Samples; // the one decoded copy all voices play
};

struct VoiceGains {
    float Left = 1.0f;
    float Right = 1.0f;
};
// Linear gains for a volume (-10000..0) and a pan (-10000..10000), both in
// hundredths of a decibel.
VoiceGains GainsFor(std::int32_t volume, std::int32_t pan);

class SoundTable {
public:
    // The table has this many records; slots above 255 are taken as 255.
    static constexpr std::int32_t kRecords = 2048;

    SoundTable();
    ~SoundTable();
    SoundTable(const SoundTable&) = delete;
    SoundTable& operator=(const SoundTable&) = delete;

    // Releases the slot, then loads the WAVE file into it with 1..4 voices;
    // a failed load leaves the slot empty.
    void Load(std::string_view file, std::int32_t slot, std::int32_t voices);
    // → the channel, or -1 (empty slot, no device, no free voice, refused).
    std::int32_t Play(std::int32_t slot, double pan, double volume);
    std::int32_t Playing(std::int32_t channel) const; // → 1 or 0
    // Stops the voice; a voice number past the slot's voices stops them all.
    void Stop(std::int32_t channel);
    void StopAll();
    void Release(std::int32_t slot);

    const SoundEffect& Record(std::int32_t slot) const { return records_[static_cast<std::size_t>(slot)]; }

private:
    std::vector<SoundEffect> records_;
};

// The process's table (null before start-up and after shutdown).
SoundTable* TheSoundTable();
SoundTable& CreateTheSoundTable();
void DestroyTheSoundTable();

// ---- Program-level operations (on the process's table) -----------------------
void LoadSound(const DynString& file, std::int32_t slot, std::int32_t voices);
std::int32_t PlaySound(std::int32_t slot, double pan, double volume);
std::int32_t SoundPlaying(std::int32_t channel);
void StopSound(std::int32_t channel);
void StopAllSounds();
void ReleaseSound(std::int32_t slot);

} // namespace vlm
