// The runtime's own RIFF/WAVE reader. It walks the chunks in file order,
// takes the first "fmt " chunk before "data", and turns what the file
// holds into the mixer's sample format: signed 16-bit stereo frames at the
// file's rate.
//
// Read: integer PCM of 1 to 32 bits (in 1- to 4-byte containers), 32- and
// 64-bit float, and WAVE_FORMAT_EXTENSIBLE with either subformat; 1 to 8
// channels at 1 kHz to 384 kHz. Channels of even index are mixed into the
// left side and those of odd index into the right (mono goes to both).
// Compressed formats (ADPCM, mu-law, A-law, MP3, ...) and big-endian RIFX
// files are refused, as are files whose sizes do not fit the bytes there.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gfx2d/byte_source.h"

namespace vlm {

struct WaveSound {
    std::uint32_t Rate = 0;           // frames per second
    std::vector<std::int16_t> Stereo; // interleaved left, right
};

// The sound of a WAVE file; nullopt when the bytes are not one the reader
// can play, or hold no sample.
std::optional<WaveSound> ReadWave(ByteSource& source);

} // namespace vlm
