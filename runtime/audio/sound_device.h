// The sound device: the one object of the process through which sound
// effects play. Start-up creates it and opens the platform's default
// device; without a device the program runs on and every sound load and
// play fails.
#pragma once

#include <cstdint>

namespace vlm {

// Sound effects live in 256 usable slots of up to 4 voices each; voice v
// of slot s plays on mixer channel s * kMaxVoices + v.
inline constexpr std::int32_t kSoundSlots = 256;
inline constexpr std::int32_t kMaxVoices = 4;

class SoundDevice {
public:
    SoundDevice() = default;
    ~SoundDevice(); // closes the device
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Opens the default device (the silent one in a headless run); false
    // when there is none.
    bool Open();
    bool IsOpen() const { return open_; }

private:
    bool open_ = false;
};

// The process's device (null before start-up and after shutdown).
SoundDevice* TheSoundDevice();
SoundDevice& CreateTheSoundDevice();
void DestroyTheSoundDevice();

} // namespace vlm
