// The game's committed pictures, read by the runtime's own BMP reader and cut
// into frames as the game cuts them: colours that every viewer can tell
// apart, visible marks, and fonts whose glyphs are distinct and keep their
// spacing.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "gfx2d/image_decoders.h"
#include "gfx2d/sprite_store.h"

namespace vlm {
namespace {

using Rgb = std::array<std::uint8_t, 3>;
using Mask = std::vector<bool>;

struct Frames {
    // A file that does not load, or holds no whole frame, fails the test.
    Frames(const std::string& file, int width, int height) : w(width), h(height) {
        if (!LoadBmpImage(image, std::string(VELMORA_MEDIA "/gfx/") + file, kDefaultColourKey) || Count() == 0)
            throw std::runtime_error(file + " does not load");
    }
    int Count() const { return (image.width / w) * (image.height / h); }
    const std::uint8_t* At(int frame, int x, int y) const {
        const int perRow = image.width / w;
        return &image.pixels[((frame / perRow * h + y) * image.width + frame % perRow * w + x) * 4];
    }
    Rgb Colour(int frame, int x, int y) const {
        const std::uint8_t* p = At(frame, x, y);
        return {p[0], p[1], p[2]};
    }
    // The pixels that are drawn; in opaque cells the black ones are background.
    Mask Ink(int frame, bool opaqueCells) const {
        Mask ink;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ink.push_back(At(frame, x, y)[3] != 0 && !(opaqueCells && Colour(frame, x, y) == Rgb{0, 0, 0}));
        return ink;
    }
    // The most frequent colour of a frame: the face of a block or swatch.
    Rgb Face(int frame) const {
        std::map<Rgb, int> counts;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ++counts[Colour(frame, x, y)];
        return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })
            ->first;
    }
    ImageBuffer image;
    int w, h;
};

int Differing(const Mask& a, const Mask& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

// Colour-vision deficiency simulation (Machado, Oliveira and Fernandes 2009,
// full severity), applied to linear RGB.
using Matrix = std::array<std::array<double, 3>, 3>;
constexpr Matrix kNormal{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
constexpr Matrix kProtanopia{
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix kDeuteranopia{
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix kTritanopia{
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};

// CIEDE2000 between two sRGB colours as seen through a simulation matrix.
double Distance(Rgb a, Rgb b, const Matrix& m = kNormal) {
    static const cmsHTRANSFORM toLab = [] {
        cmsCIExyY d65{0.3127, 0.3290, 1.0};
        cmsHPROFILE srgb = cmsCreate_sRGBProfile(), lab = cmsCreateLab4Profile(&d65);
        const cmsHTRANSFORM transform =
            cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_ABSOLUTE_COLORIMETRIC, 0);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
        return transform;
    }();
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    auto encode = [](double v) {
        v = std::clamp(v, 0.0, 1.0);
        return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    };
    double seen[2][3];
    for (int k = 0; k < 2; ++k) {
        const Rgb c = k ? b : a;
        const double r = linear(c[0] / 255.0), g = linear(c[1] / 255.0), bl = linear(c[2] / 255.0);
        for (int i = 0; i < 3; ++i)
            seen[k][i] = encode(m[i][0] * r + m[i][1] * g + m[i][2] * bl);
    }
    cmsCIELab lab[2];
    cmsDoTransform(toLab, seen, lab, 2);
    return cmsCIE2000DeltaE(&lab[0], &lab[1], 1, 1, 1);
}

TEST(GamePictures, SixColoursStayApartForEveryViewerAndCarryTheirOwnMarksEverywhere) {
    const Frames blocks("blocks.bmp", 16, 16), swatches("spectrum.bmp", 75, 21), squares("colours.bmp", 32, 32);
    struct Viewer {
        const char* name;
        const Matrix& matrix;
        double least;
    };
    for (const Viewer& viewer : {Viewer{"normal", kNormal, 25}, Viewer{"protanopia", kProtanopia, 10},
                                 Viewer{"deuteranopia", kDeuteranopia, 10}, Viewer{"tritanopia", kTritanopia, 10}}) {
        for (int a = 0; a < 6; ++a)
            for (int b = a + 1; b < 6; ++b)
                EXPECT_GE(Distance(blocks.Face(a), blocks.Face(b), viewer.matrix), viewer.least)
                    << viewer.name << ": colours " << a << " and " << b;
    }
    std::vector<Mask> marks;
    for (int k = 0; k < 6; ++k) {
        const Rgb face = blocks.Face(k);
        EXPECT_EQ(swatches.Face(k), face) << k;
        EXPECT_EQ(squares.Face(k), face) << k;
        // The mark: what differs from the face inside the bevel.
        Mask mark(256, false);
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x) {
                const Rgb c = blocks.Colour(k, x, y);
                if (c == face) continue;
                mark[y * 16 + x] = true;
                EXPECT_GE(Distance(c, face), 20) << "mark of colour " << k << " at " << x << "," << y;
            }
        EXPECT_GE(std::count(mark.begin(), mark.end(), true), 12) << k;
        for (const Mask& other : marks)
            EXPECT_GE(Differing(mark, other), 20) << "mark of colour " << k;
        marks.push_back(mark);
    }
    // The selection marker shows the swatch through its middle.
    EXPECT_EQ(swatches.At(6, 37, 10)[3], 0);
    EXPECT_EQ(swatches.At(6, 0, 0)[3], 255);
}

struct Font {
    const char* file;
    int w, h, step; // step: how strongly the spacing rule applies (0 none)
    bool opaqueCells;
};
constexpr Font kFonts[] = {
    {"font1.bmp", 16, 28, 0, true}, {"font2.bmp", 5, 7, 1, false}, {"font3.bmp", 10, 14, 2, false}};

// The game prints with a fixed advance and a gap that narrows after "." and
// "I" (3 per step), "T" (1) and widens after "M" and "W" (1).
TEST(GameFonts, GlyphsAreDistinctAndPrintedWordsKeepAnEmptyColumnBetweenThem) {
    const std::map<char, int> adjust{{'.', -3}, {'I', -3}, {'M', 1}, {'T', -1}, {'W', 1}};
    for (const Font& font : kFonts) {
        const Frames glyphs(font.file, font.w, font.h);
        ASSERT_EQ(glyphs.Count(), 64) << font.file; // the space to "_"
        std::vector<Mask> ink;
        for (int k = 0; k < 64; ++k)
            ink.push_back(glyphs.Ink(k, font.opaqueCells));
        for (int k = 1; k < 64; ++k) {
            EXPECT_TRUE(std::count(ink[k].begin(), ink[k].end(), true) > 0) << font.file << " " << char(k + 32);
            for (int j = 0; j < k; ++j)
                EXPECT_GT(Differing(ink[j], ink[k]), 0) << font.file << " " << char(j + 32) << char(k + 32);
        }
        for (const char* pair : {"O0", "I1", "S5", "B8"})
            EXPECT_GE(Differing(ink[pair[0] - 32], ink[pair[1] - 32]), 3) << font.file << " " << pair;

        for (const char* text : {"MOVES REMAINING", "TOP SPLOSHERS", "PRESS BUTTON OR SCREEN TO PLAY", "CLASSIC PUZZLE",
                                 "ARNO VESK", "TALVEN", "RESTART", "-1234567890", "DONE"}) {
            int x = 0, previousRight = -1000;
            for (int i = 0; text[i]; ++i) {
                const int left = x + i * font.w;
                int first = font.w, last = -1;
                for (int p = 0; p < font.w * font.h; ++p)
                    if (ink[text[i] - 32][p]) first = std::min(first, p % font.w), last = std::max(last, p % font.w);
                if (last >= 0) {
                    EXPECT_GE(left + first - previousRight, 2) << font.file << " \"" << text << "\" at " << i;
                    previousRight = left + last;
                }
                if (adjust.count(text[i])) x += adjust.at(text[i]) * font.step;
            }
        }
    }
}

} // namespace
} // namespace vlm
