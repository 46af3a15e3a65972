#include "audio/sound_table.h"

#include <algorithm>
#include <cmath>

#include "audio/wave_reader.h"
#include "files/media_name_resolver.h"
#include "platform/audio.h"

namespace vlm {

namespace {

constexpr std::int32_t kLastSlot = kSoundSlots - 1;
constexpr std::int32_t kVoicesPerChannelBlock = 256;
constexpr std::int32_t kSilence = -10000; // hundredths of a decibel

std::unique_ptr<SoundTable> theSoundTable;

// A slot number as every operation takes it; -1 for none.
std::int32_t UsableSlot(std::int32_t slot) { return slot < 0 ? -1 : std::min(slot, kLastSlot); }

int MixerChannel(std::int32_t slot, std::int32_t voice) { return slot * kMaxVoices + voice; }

// x * scale truncated towards zero and held to lo..hi; not a number is 0.
std::int32_t ScaledInRange(double x, double scale, std::int32_t lo, std::int32_t hi) {
    const double scaled = x * scale;
    if (scaled != scaled) return std::clamp(0, lo, hi);
    return static_cast<std::int32_t>(std::clamp(std::trunc(scaled), double(lo), double(hi)));
}

float Gain(std::int32_t attenuation) {
    return attenuation <= kSilence ? 0.0f : static_cast<float>(std::pow(10.0, attenuation / 2000.0));
}

} // namespace

VoiceGains GainsFor(std::int32_t volume, std::int32_t pan) {
    // Panning right attenuates the left side and the other way round.
    return {Gain(volume - std::max(pan, 0)), Gain(volume + std::min(pan, 0))};
}

SoundTable::SoundTable() : records_(kRecords) {}

SoundTable::~SoundTable() {
    for (std::int32_t slot = 0; slot < kSoundSlots; ++slot)
        Release(slot);
}

void SoundTable::Load(std::string_view file, std::int32_t slot, std::int32_t voices) {
    slot = UsableSlot(slot);
    if (slot < 0) return;
    Release(slot);
    const ResolvedName resolved = MediaNameResolver(file);
    if (!resolved.found || !platform::AudioOpen()) return;
    auto source = ByteSource::Open(resolved.name.view());
    if (!source) return;
    std::optional<WaveSound> sound = ReadWave(*source);
    if (!sound) return;
    auto samples = platform::SampleBuffer::Make(std::move(sound->Stereo), sound->Rate);
    if (!samples) return;
    SoundEffect& effect = records_[static_cast<std::size_t>(slot)];
    effect.Samples = std::move(samples);
    effect.VoiceCount = std::clamp(voices, 1, kMaxVoices);
    effect.CurrentVoice = 0;
}

std::int32_t SoundTable::Play(std::int32_t slot, double pan, double volume) {
    slot = UsableSlot(slot);
    if (slot < 0) return -1;
    SoundEffect& effect = records_[static_cast<std::size_t>(slot)];
    if (effect.VoiceCount == 0 || !effect.Samples) return -1;
    const std::int32_t panning = ScaledInRange(pan, 10000, -10000, 10000);
    const std::int32_t level = ScaledInRange(volume, 100, 0, 100);

    // A voice still playing passes the play to the next one, whose sound
    // (the oldest) is cut; a sound of one voice is not restarted.
    std::int32_t voice = effect.CurrentVoice;
    if (platform::VoicePlaying(MixerChannel(slot, voice))) {
        if (effect.VoiceCount == 1) return -1;
        voice = (voice + 1) % effect.VoiceCount;
        platform::StopVoice(MixerChannel(slot, voice));
    }
    effect.CurrentVoice = voice;
    const VoiceGains gains = GainsFor(level * 100 + kSilence, panning);
    if (!platform::PlayVoice(MixerChannel(slot, voice), *effect.Samples, gains.Left, gains.Right)) return -1;
    return slot * kVoicesPerChannelBlock + voice;
}

std::int32_t SoundTable::Playing(std::int32_t channel) const {
    if (channel < 0) return 0;
    const std::int32_t slot = UsableSlot(channel / kVoicesPerChannelBlock);
    const std::int32_t voice = channel % kVoicesPerChannelBlock;
    if (voice >= records_[static_cast<std::size_t>(slot)].VoiceCount) return 0;
    return platform::VoicePlaying(MixerChannel(slot, voice)) ? 1 : 0;
}

void SoundTable::Stop(std::int32_t channel) {
    if (channel < 0) return;
    const std::int32_t slot = UsableSlot(channel / kVoicesPerChannelBlock);
    const std::int32_t voice = channel % kVoicesPerChannelBlock;
    const std::int32_t count = records_[static_cast<std::size_t>(slot)].VoiceCount;
    if (voice < count) {
        platform::StopVoice(MixerChannel(slot, voice));
        return;
    }
    for (std::int32_t v = 0; v < count; ++v)
        platform::StopVoice(MixerChannel(slot, v));
}

void SoundTable::StopAll() {
    for (std::int32_t slot = 0; slot < kSoundSlots; ++slot) {
        for (std::int32_t v = 0; v < records_[static_cast<std::size_t>(slot)].VoiceCount; ++v)
            platform::StopVoice(MixerChannel(slot, v));
    }
}

void SoundTable::Release(std::int32_t slot) {
    slot = UsableSlot(slot);
    if (slot < 0) return;
    SoundEffect& effect = records_[static_cast<std::size_t>(slot)];
    for (std::int32_t v = 0; v < effect.VoiceCount; ++v)
        platform::StopVoice(MixerChannel(slot, v));
    effect = SoundEffect{};
}

SoundTable* TheSoundTable() { return theSoundTable.get(); }

SoundTable& CreateTheSoundTable() {
    theSoundTable = std::make_unique<SoundTable>();
    return *theSoundTable;
}

void DestroyTheSoundTable() { theSoundTable.reset(); }

void LoadSound(const DynString& file, std::int32_t slot, std::int32_t voices) {
    if (SoundTable* table = TheSoundTable()) table->Load(file.view(), slot, voices);
}

std::int32_t PlaySound(std::int32_t slot, double pan, double volume) {
    SoundTable* table = TheSoundTable();
    return table ? table->Play(slot, pan, volume) : -1;
}

std::int32_t SoundPlaying(std::int32_t channel) {
    const SoundTable* table = TheSoundTable();
    return table ? table->Playing(channel) : 0;
}

void StopSound(std::int32_t channel) {
    if (SoundTable* table = TheSoundTable()) table->Stop(channel);
}

void StopAllSounds() {
    if (SoundTable* table = TheSoundTable()) table->StopAll();
}

void ReleaseSound(std::int32_t slot) {
    if (SoundTable* table = TheSoundTable()) table->Release(slot);
}

} // namespace vlm
