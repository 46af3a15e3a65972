// The decoders against public conformance suites, with ImageMagick as the
// independent decoder: every picture our rules accept must come out pixel
// for pixel the same (after the colour-key rule); pictures our rules refuse
// must fail cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "gfx2d/image_decoders.h"
#include "reference_decoder.h"

namespace vlm {
namespace {

using test::ApplyKeyRule;
using test::ReferenceDecode;
using test::TestData;

constexpr std::uint32_t kDefaultKey = 0x008000FF;

std::vector<std::filesystem::path> FilesIn(const std::string& folder, const std::string& extension) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TestData(folder))) {
        if (entry.path().extension() == extension) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Label(const std::filesystem::path& file) {
    return file.parent_path().filename().string() + "/" + file.stem().string();
}

// Compares a decoded picture with the reference; reports the first mismatch.
void ExpectSamePixels(const ImageBuffer& image, const test::ReferenceImage& reference) {
    ASSERT_EQ(image.width, reference.width);
    ASSERT_EQ(image.height, reference.height);
    for (std::size_t i = 0; i < reference.rgba.size(); ++i) {
        if (image.pixels[i] != reference.rgba[i]) {
            ADD_FAILURE() << "pixel " << (i / 4) % image.width << "," << (i / 4) / image.width << " channel " << i % 4
                          << ": " << int(image.pixels[i]) << " != " << int(reference.rgba[i]);
            return;
        }
    }
}

// Files the rules read on purpose differently from a full BMP decoder
// (compression is not consulted), so no reference comparison applies.
const std::set<std::string> kBmpReadDifferently = {
    "b/badrle4",     "b/badrle4bis",   "b/badrle4ter",
    "q/pal4rletrns", "q/rgb32-111110", "q/rgb32-7187",
    "q/rgba32abf",   "g/rgb32bf",      "bmp-made-here/bad_compression_99",
};

// Made-here "bad" files whose faults lie in fields our rules never read
// (planes, colours used, compression): they decode.
const std::set<std::string> kBmpBadButReadable = {
    "bmp-made-here/bad_compression_99",
    "bmp-made-here/bad_planes_0",
    "bmp-made-here/bad_clrused_huge_4bpp",
};

// Files our rules must refuse: unsupported depth or header, RLE data shorter
// than its uncompressed rows, or fields that do not fit the bytes.
const std::set<std::string> kBmpMustFail = {
    "g/pal4rle",      "g/pal8rle",    "g/pal8v4",       "g/pal8v5",        "g/rgb16",    "g/rgb16-565",
    "g/rgb16-565pal", "g/rgb16bfdef", "b/badbitcount",  "b/badheadersize", "b/badwidth", "b/pal8badindex",
    "b/reallybig",    "b/rgb16-880",  "b/shortfile",    "b/rletopdown",    "b/badrle",   "b/badrlebis",
    "b/badrleter",    "x/ba-bm",      "q/pal2",         "q/pal2color",     "q/rgba64",   "q/rgb24jpeg",
    "q/rgb24png",     "q/pal8os2v2",  "q/pal8os2v2-16", "q/rgba32h56",
};

TEST(BmpConformance, SuiteFilesMatchTheReferenceOrFailCleanly) {
    int matched = 0;
    for (const std::string folder : {"bmpsuite/g", "bmpsuite/q", "bmpsuite/b", "bmpsuite/x", "bmp-made-here"}) {
        for (const auto& file : FilesIn(folder, ".bmp")) {
            const std::string label = Label(file);
            SCOPED_TRACE(label);
            ImageBuffer image;
            const bool loaded = LoadBmpImage(image, file.string(), kDefaultKey);
            const bool mustFail = kBmpMustFail.count(label) ||
                                  (label.rfind("bmp-made-here/bad_", 0) == 0 && !kBmpBadButReadable.count(label));
            if (mustFail) {
                EXPECT_FALSE(loaded);
                EXPECT_EQ(image.width, 0);
                continue;
            }
            const bool mustLoad = label.rfind("bmp-made-here/ok_", 0) == 0 || label.rfind("g/", 0) == 0;
            if (mustLoad || kBmpBadButReadable.count(label)) {
                EXPECT_TRUE(loaded);
            }
            if (!loaded || kBmpReadDifferently.count(label)) continue;
            auto reference = ReferenceDecode(file);
            if (!reference) continue;
            ApplyKeyRule(*reference, kDefaultKey, true);
            ExpectSamePixels(image, *reference);
            ++matched;
        }
    }
    EXPECT_GE(matched, 30);
}
// The colour type and whether a transparency chunk is present, from the chunk list.
struct PngFacts {
    int colourType = -1;
    int bitDepth = 0;
    bool hasTransparency = false;
};

PngFacts ReadPngFacts(const std::filesystem::path& file) {
    const std::string bytes = test::RunForOutput("cat '" + file.string() + "'");
    PngFacts facts;
    if (bytes.size() < 33) return facts;
    facts.bitDepth = static_cast<std::uint8_t>(bytes[24]);
    facts.colourType = static_cast<std::uint8_t>(bytes[25]);
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
        const auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i]));
        };
        const std::uint32_t length = byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
        if (bytes.compare(at + 4, 4, "tRNS") == 0) facts.hasTransparency = true;
        at += 12 + static_cast<std::size_t>(length);
    }
    return facts;
}

TEST(PngConformance, SuiteFilesMatchTheReferenceOrFailCleanly) {
    int matched = 0;
    for (const auto& file : FilesIn("pngsuite", ".png")) {
        const std::string name = file.stem().string();
        SCOPED_TRACE(name);
        const PngFacts facts = ReadPngFacts(file);
        ImageBuffer image;
        testing::internal::CaptureStdout();
        const bool loaded = LoadPngImage(image, file.string(), kDefaultKey);
        testing::internal::GetCapturedStdout();
        // Grey with alpha, and grey with a transparency chunk (which expands
        // to grey with alpha), have two channels: refused.
        const bool twoChannels = facts.colourType == 4 || (facts.colourType == 0 && facts.hasTransparency);
        if (name[0] == 'x' || twoChannels) {
            EXPECT_FALSE(loaded);
            EXPECT_EQ(image.width, 0);
            continue;
        }
        ASSERT_TRUE(loaded);
        auto reference = ReferenceDecode(file, "", "-set colorspace sRGB", facts.bitDepth == 16);
        ASSERT_TRUE(reference.has_value());
        // The key applies only to pictures that arrive as three channels.
        if (facts.colourType == 2 && !facts.hasTransparency) ApplyKeyRule(*reference, kDefaultKey, false);
        ExpectSamePixels(image, *reference);
        ++matched;
    }
    EXPECT_GE(matched, 140);
}

TEST(JpegConformance, SuiteFilesMatchTheReferenceOrFailCleanly) {
    const std::set<std::string> mustFail = {"monkey12", "testorig12",           "not_a_jpeg",
                                            "soi_only", "truncated_in_headers", "truncated_half"};
    int matched = 0;
    for (const std::string folder : {"jpeg/libjpeg-turbo", "jpeg/made-here"}) {
        for (const auto& file : FilesIn(folder, ".jpg")) {
            const std::string name = file.stem().string();
            SCOPED_TRACE(name);
            ImageBuffer image;
            const bool loaded = LoadJpegImage(image, file.string());
            if (mustFail.count(name)) {
                EXPECT_FALSE(loaded);
                EXPECT_EQ(image.width, 0);
                continue;
            }
            ASSERT_TRUE(loaded);
            auto reference = ReferenceDecode(file, "-define jpeg:fancy-upsampling=off");
            ASSERT_TRUE(reference.has_value());
            ExpectSamePixels(image, *reference);
            ++matched;
        }
    }
    EXPECT_EQ(matched, 15); // the Adobe YCCK file too, turned from ink to light
}

} // namespace
} // namespace vlm
