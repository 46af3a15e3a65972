// The WAVE reader over the WAV files of the test data, with sox as the
// independent decoder: every file the reader accepts must give the samples
// sox gives (mixed to stereo, 16-bit) within one step; the others must
// fail cleanly.
#include "audio/wave_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "files/memory_files.h"
#include "gfx2d/reference_decoder.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::RunForOutput;
using test::TestData;

const std::string kScipy = "debian-python3-scipy/test-";

// Files the reader refuses, besides every "bad_" file.
const std::set<std::string> kRefused = {
    // Big-endian RIFX.
    kScipy + "44100Hz-2ch-32bit-float-be", kScipy + "44100Hz-be-1ch-4bytes", kScipy + "8000Hz-be-3ch-5S-24bit",
    "made-here/unsupported_rifx_bigendian_u8_mono",
    // Compressed: mu-law, IMA ADPCM, MP3.
    kScipy + "8000Hz-le-1ch-1byte-ulaw", "made-here/sox_ulaw_mono", "made-here/sox_imaadpcm_mono",
    "made-here/unsupported_format_tag_0x55_mp3_header_only",
    // Integer samples wider than 32 bits; a block alignment that is not
    // channels x sample bytes.
    kScipy + "8000Hz-le-3ch-5S-36bit", kScipy + "8000Hz-le-3ch-5S-45bit", kScipy + "8000Hz-le-3ch-5S-53bit",
    kScipy + "8000Hz-le-3ch-5S-64bit", kScipy + "8000Hz-le-3ch-5S-24bit-inconsistent",
    // Cut short: a chunk declared past the end, or no "fmt " before "data".
    kScipy + "44100Hz-le-1ch-4bytes-early-eof", kScipy + "44100Hz-le-1ch-4bytes-early-eof-no-data",
    kScipy + "44100Hz-le-1ch-4bytes-incomplete-chunk", "made-here/q_riff_and_data_size_ffffffff_streaming_s16",
    "made-here/q_data_before_fmt_u8_mono",
    // No sample at all.
    "made-here/sox_s16_mono_zero_samples"};

// Sample sizes that are not whole bytes: sox needs their container named.
const std::map<std::string, std::string> kSoxInput = {{kScipy + "8000Hz-le-4ch-9S-12bit", "-b 16 -e signed"},
                                                      {kScipy + "8000Hz-le-1ch-10S-20bit-extra", "-b 24 -e signed"},
                                                      {kScipy + "8000Hz-le-5ch-9S-5bit", "-b 8 -e unsigned"},
                                                      {"made-here/q_pcm_tag1_bits7", "-b 8 -e unsigned"}};

// A file or a memory block by its name.
std::optional<WaveSound> Read(std::string_view name) {
    auto source = ByteSource::Open(name);
    return source ? ReadWave(*source) : std::nullopt;
}

TEST(WaveReader, ReadsWhatSoxReadsAndRefusesTheRest) {
    std::size_t loaded = 0;
    for (const char* folder : {"wav/debian-python3-scipy", "wav/made-here"}) {
        for (const auto& entry : std::filesystem::directory_iterator(TestData(folder))) {
            const std::string label =
                entry.path().parent_path().filename().string() + "/" + entry.path().stem().string();
            SCOPED_TRACE(label);
            const std::optional<WaveSound> sound = Read(entry.path().string());
            if (kRefused.contains(label) || entry.path().stem().string().starts_with("bad_")) {
                EXPECT_FALSE(sound.has_value());
                continue;
            }
            ASSERT_TRUE(sound.has_value());
            ++loaded;
            const std::string input = kSoxInput.contains(label) ? kSoxInput.at(label) : "";
            // sox's own WAVE output: a 44-byte header (the rate at byte 24), then the samples.
            const std::string wave = RunForOutput("sox -D " + input + " '" + entry.path().string() +
                                                  "' -t wav -e signed -b 16 -c 2 - 2>/dev/null");
            ASSERT_GE(wave.size(), 44u);
            std::uint32_t rate;
            std::memcpy(&rate, wave.data() + 24, 4);
            EXPECT_EQ(sound->Rate, rate);
            ASSERT_EQ(sound->Stereo.size(), (wave.size() - 44) / 2);
            for (std::size_t i = 0; i < sound->Stereo.size(); ++i) {
                std::int16_t expected;
                std::memcpy(&expected, wave.data() + 44 + 2 * i, 2);
                ASSERT_NEAR(sound->Stereo[i], expected, 1) << "sample " << i;
            }
        }
    }
    EXPECT_EQ(loaded, 30u);
}

// An odd-sized chunk whose writer left out the pad byte after it (the padded
// file is among those above) reads the same, here from a memory block.
TEST(WaveReader, AMissingPadByteAndAMemoryBlock) {
    const auto path = TestData("wav/made-here/ok_odd_unknown_chunk_padded_s16_mono.wav");
    std::string unpadded = test::ReadWholeFile(path);
    unpadded.erase(unpadded.find("abcd") + 8 + 3, 1); // the pad after the 3-byte chunk
    const MemoryFile block(unpadded.data(), unpadded.size());
    const std::optional<WaveSound> sound = Read(block.Name().view());
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->Stereo, Read(path.string())->Stereo);
}

} // namespace
} // namespace vlm
