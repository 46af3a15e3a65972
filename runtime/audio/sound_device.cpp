#include "audio/sound_device.h"

#include <memory>

#include "frame/message_box.h"
#include "platform/audio.h"

namespace vlm {

namespace {

std::unique_ptr<SoundDevice> theSoundDevice;

} // namespace

SoundDevice::~SoundDevice() {
    if (open_) platform::CloseAudio();
}

bool SoundDevice::Open() {
    if (!open_) open_ = platform::OpenAudio(kSoundSlots * kMaxVoices, RunningHeadless());
    return open_;
}

SoundDevice* TheSoundDevice() { return theSoundDevice.get(); }

SoundDevice& CreateTheSoundDevice() {
    theSoundDevice = std::make_unique<SoundDevice>();
    return *theSoundDevice;
}

void DestroyTheSoundDevice() { theSoundDevice.reset(); }

} // namespace vlm
