// Movie files decoded with FFmpeg's libraries: pictures as RGBA frames with
// their times, and the sound in the mixer's format (stereo 16-bit at the
// mixing rate).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vlm::platform {

struct MovieFrame {
    std::int32_t width = 0;
    std::int32_t height = 0;
    double timeMs = 0;              // when it is due, from the start of the movie
    std::vector<std::uint8_t> rgba; // rows top-down
};

// Takes the sound decoded on the way to a picture.
using MovieSoundSink = std::function<void(std::span<const std::int16_t> stereo)>;

class MovieDecoder {
public:
    // A file, or a copy of bytes held in memory. Null when it cannot be
    // opened or holds no video stream that can be decoded.
    static std::unique_ptr<MovieDecoder> Open(const std::string& path);
    static std::unique_ptr<MovieDecoder> Open(std::span<const std::uint8_t> bytes);
    ~MovieDecoder();
    MovieDecoder(const MovieDecoder&) = delete;
    MovieDecoder& operator=(const MovieDecoder&) = delete;

    // The next picture; false at the end of the movie.
    bool NextFrame(MovieFrame& frame, const MovieSoundSink& sound);
    // Back to the start; false when the movie cannot go back.
    bool Rewind();

private:
    struct Streams;
    explicit MovieDecoder(std::unique_ptr<Streams> streams);
    std::unique_ptr<Streams> streams_;
};

} // namespace vlm::platform
