// The mixer's music stream: one track at a time, in any format the mixer
// decodes (Ogg Vorbis, MP3, WAV and FLAC where it has them).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vlm::platform {

class MusicTrack {
public:
    // A music file, or a copy of bytes held in memory. Null when the sound
    // device is closed or the mixer cannot decode it.
    static std::unique_ptr<MusicTrack> Open(const std::string& path);
    static std::unique_ptr<MusicTrack> Open(std::span<const std::uint8_t> bytes);
    ~MusicTrack(); // stops the track when it is the one playing
    MusicTrack(const MusicTrack&) = delete;
    MusicTrack& operator=(const MusicTrack&) = delete;

    // The length in milliseconds; 0 when the decoder cannot tell.
    double LengthMilliseconds() const;
    // Plays once from the start, stopping whatever music played.
    void PlayFromStart();
    // Back to the start; playing or not stays as it is.
    void Rewind();

private:
    MusicTrack(void* music, std::vector<std::uint8_t> bytes) : music_(music), bytes_(std::move(bytes)) {}
    void* music_;                     // the mixer's track
    std::vector<std::uint8_t> bytes_; // what a track opened from memory reads
};

// The music stream's volume, 0 (silent) to 1000 (full), linear.
void SetMusicStreamVolume(std::int32_t volume);

} // namespace vlm::platform
