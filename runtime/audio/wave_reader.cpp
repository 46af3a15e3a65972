#include "audio/wave_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <span>

#include "gfx2d/byte_source.h"

namespace vlm {

namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr std::size_t kBasicFormatSize = 16;
constexpr std::size_t kExtensibleFormatSize = 40;
constexpr std::uint16_t kMaxChannels = 8;
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 384000;
// The subformat GUID of an extensible file is the format tag followed by
// these fixed bytes.
constexpr std::array<std::uint8_t, 14> kSubformatTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

using Bytes = std::span<const std::uint8_t>;

bool IsId(const std::uint8_t* p, const char (&id)[5]) { return std::memcmp(p, id, 4) == 0; }

struct WaveFormat {
    bool isFloat = false;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t blockAlign = 0;
    std::uint32_t sampleBytes = 0; // the container of one sample
};

std::optional<WaveFormat> ParseFormat(Bytes body) {
    if (body.size() < kBasicFormatSize) return std::nullopt;
    std::uint16_t tag = Le16(&body[0]);
    const std::uint16_t bits = Le16(&body[14]);
    if (tag == kTagExtensible) {
        if (body.size() < kExtensibleFormatSize || Le16(&body[16]) < kExtensibleFormatSize - 18) return std::nullopt;
        if (!std::equal(kSubformatTail.begin(), kSubformatTail.end(), &body[26])) return std::nullopt;
        tag = Le16(&body[24]);
    }
    WaveFormat format;
    format.channels = Le16(&body[2]);
    format.rate = Le32(&body[4]);
    format.blockAlign = Le16(&body[12]);
    format.isFloat = tag == kTagFloat;
    format.sampleBytes = (bits + 7u) / 8u;
    const bool known = (tag == kTagPcm && bits >= 1 && bits <= 32) || (format.isFloat && (bits == 32 || bits == 64));
    if (!known || format.channels < 1 || format.channels > kMaxChannels) return std::nullopt;
    if (format.rate < kMinRate || format.rate > kMaxRate) return std::nullopt;
    // Frames are whole samples of every channel, nothing else.
    if (format.blockAlign != format.channels * format.sampleBytes) return std::nullopt;
    return format;
}

std::int16_t FromWide(std::int32_t sample) {
    // The top 16 of 32 bits, rounded to nearest.
    return static_cast<std::int16_t>(std::min<std::int64_t>((std::int64_t{sample} + 0x8000) >> 16, INT16_MAX));
}

std::int16_t FromFloat(double sample) {
    const double scaled = sample * 32768.0;
    if (scaled >= INT16_MAX) return INT16_MAX;
    if (scaled <= INT16_MIN) return INT16_MIN;
    return scaled == scaled ? static_cast<std::int16_t>(std::lround(scaled)) : 0; // NaN is silence
}

// One sample in the mixer's format.
std::int16_t DecodeSample(const WaveFormat& format, const std::uint8_t* p) {
    if (format.isFloat) {
        if (format.sampleBytes == 4) return FromFloat(std::bit_cast<float>(Le32(p)));
        const std::uint64_t bits = Le32(p) | (std::uint64_t{Le32(p + 4)} << 32);
        return FromFloat(std::bit_cast<double>(bits));
    }
    // Integer samples are left-justified in their container; 8-bit ones are unsigned.
    std::uint32_t wide = 0;
    for (std::uint32_t i = 0; i < format.sampleBytes; ++i)
        wide |= std::uint32_t{p[i]} << (8 * (i + 4 - format.sampleBytes));
    if (format.sampleBytes == 1) wide ^= 0x80000000u;
    return FromWide(static_cast<std::int32_t>(wide));
}

std::int16_t Mean(std::int32_t sum, std::int32_t count) {
    return static_cast<std::int16_t>(count == 1 ? sum : std::lround(static_cast<double>(sum) / count));
}

std::vector<std::int16_t> DecodeFrames(const WaveFormat& format, Bytes data) {
    const std::size_t frames = data.size() / format.blockAlign;
    std::vector<std::int16_t> stereo(frames * 2);
    const std::int32_t rightCount = format.channels / 2;
    const std::int32_t leftCount = format.channels - rightCount;
    for (std::size_t f = 0; f < frames; ++f) {
        const std::uint8_t* frame = data.data() + f * format.blockAlign;
        std::int32_t left = 0, right = 0;
        for (std::uint16_t c = 0; c < format.channels; ++c) {
            const std::int16_t sample = DecodeSample(format, frame + c * format.sampleBytes);
            (c % 2 == 0 ? left : right) += sample;
        }
        stereo[2 * f] = Mean(left, leftCount);
        stereo[2 * f + 1] = rightCount > 0 ? Mean(right, rightCount) : stereo[2 * f];
    }
    return stereo;
}

// A chunk identifier is four printable characters.
bool PlausibleId(Bytes bytes) {
    return bytes.size() >= 4 &&
           std::all_of(bytes.begin(), bytes.begin() + 4, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

// An odd-sized chunk is followed by a zero pad byte, which some writers
// leave out: it is skipped only when a zero and then a chunk identifier
// follow.
void SkipPadByte(ByteSource& source, std::uint32_t chunkSize) {
    if (chunkSize % 2 == 0) return;
    const Bytes rest = source.Bytes().subspan(source.Position());
    if (rest.size() >= 5 && rest[0] == 0 && PlausibleId(rest.subspan(1))) source.Take(1);
}

} // namespace

std::optional<WaveSound> ReadWave(ByteSource& source) {
    const auto header = source.Take(12);
    if (!header || header->size() != 12 || !IsId(header->data(), "RIFF") || !IsId(header->data() + 8, "WAVE")) {
        return std::nullopt;
    }
    std::optional<WaveFormat> format;
    for (;;) {
        const auto chunkHeader = source.Take(8);
        if (!chunkHeader || chunkHeader->size() != 8) return std::nullopt;
        const std::uint32_t size = Le32(chunkHeader->data() + 4);
        // A chunk declared past the end fails before anything is allocated.
        if (size > source.Remaining()) return std::nullopt;
        const Bytes body = *source.Take(size);
        if (IsId(chunkHeader->data(), "fmt ")) {
            format = ParseFormat(body);
            if (!format) return std::nullopt;
        } else if (IsId(chunkHeader->data(), "data")) {
            if (!format || body.size() < format->blockAlign) return std::nullopt;
            return WaveSound{format->rate, DecodeFrames(*format, body)};
        }
        SkipPadByte(source, size);
    }
}

} // namespace vlm
