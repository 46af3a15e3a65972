#include "gfx2d/bitmap_fonts.h"

#include <gtest/gtest.h>

#include <string>

#include "files/error_state.h"
#include "gfx2d/builtin_font.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

using test::Opaque;
using test::Rgba;

using test::kBlack;
using test::kWhite;
const Rgba kOutline = Opaque(8, 8, 8);

// "A" of the compiled-in font as drawn in its 8 x 8 cell: glyph '#',
// outline 'o', transparent '.'.
constexpr const char* kLetterA[8] = {
    "..ooo...", //
    ".o###o..", //
    ".o#o#o..", //
    ".o###o..", //
    ".o#o#o..", //
    ".o#o#o..", //
    "..o.o...", //
    "........",
};

Rgba Expected(char c) {
    return c == '#' ? kWhite : c == 'o' ? kOutline : kBlack;
}

// A font picture whose cell for code c shows colour (c, 100, 200) in its
// left half and black (the font key) in its right half.
ImageBuffer CodedFont(int width, int height, int rows) {
    const int cw = width / 16, ch = height / rows;
    return test::MakeImage(width, height, [=](int x, int y) {
        const int code = (y / ch) * 16 + x / cw;
        return x % cw < cw / 2 ? Opaque(static_cast<std::uint8_t>(code), 100, 200) : Opaque(0, 0, 0);
    });
}

TEST(BuiltinFont, GlyphsSitInTheirCellsWithAnOutline) {
    ImageBuffer image;
    BuildBuiltinFontImage(image);
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 64);
    // 'A' (65) is column 1, row 4.
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const char c = kLetterA[y][x];
            const Rgba want = c == '.' ? Rgba{0, 0, 0, 0} : Expected(c);
            EXPECT_EQ(test::PixelOf(image, 8 + x, 32 + y), want) << x << "," << y;
        }
    }
    // Codes below 32 and the space have no glyph.
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (y < 16 || x < 8) {
                EXPECT_EQ(test::PixelOf(image, x, y)[3], 0) << x << "," << y;
            }
        }
    }
}

class Fonts : public test::GlDrawing {};

TEST_F(Fonts, EmptyNameInstallsTheBuiltinFontAndReportsNoSuchFile) {
    LoadFont(*display_, "", 2);
    EXPECT_EQ(TheErrorState().LastErrorCode, kErrorNoSuchFile);
    EXPECT_EQ(display_->Drawing.CurrentFont, 2);
    EXPECT_EQ(FontCharSize(*display_).width, 8);
    EXPECT_EQ(FontCharSize(*display_).height, 8);

    SetFont(*display_, 40);
    EXPECT_EQ(display_->Drawing.CurrentFont, 31);
    EXPECT_EQ(FontCharSize(*display_).width, 0); // an empty slot
    PrintText(*display_, "AB", 0, 0);            // draws nothing
    EXPECT_EQ(At(1, 1), kBlack);
    SetFont(*display_, -3);
    EXPECT_EQ(display_->Drawing.CurrentFont, 0);
}

TEST_F(Fonts, TextIsPrintedFromRoundedUpPositionsCellByCell) {
    LoadFont(*display_, "", 0);
    PrintText(*display_, "AB", 10.2, 5);
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (At(x, y) == kBlack) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    // Within the two cells x 11..26, y 5..12.
    EXPECT_GE(left, 11);
    EXPECT_LE(right, 26);
    EXPECT_GE(top, 5);
    EXPECT_LE(bottom, 12);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(At(11 + x, 5 + y), Expected(kLetterA[y][x])) << x << "," << y;
        }
    }
}

TEST_F(Fonts, TallPicturesHold256CodesAndWidePictures128) {
    // 256 x 512: 16 rows of 16 x 32 cells.
    const auto tall = temp_ / "tall.bmp";
    test::WritePicture(tall, CodedFont(256, 512, 16));
    FillRect(*display_, 0, 0, kWidth, kHeight, 0x00000080); // dark red under the text
    LoadFont(*display_, tall.string(), 1);
    EXPECT_EQ(TheErrorState().LastErrorCode, kErrorSuccess);
    EXPECT_EQ(FontCharSize(*display_).width, 16);
    EXPECT_EQ(FontCharSize(*display_).height, 32);
    PrintText(*display_, "\xC8", 0, 0); // 200: column 8, row 12
    EXPECT_EQ(At(0, 0), Opaque(200, 100, 200));
    EXPECT_EQ(At(7, 31), Opaque(200, 100, 200));
    EXPECT_EQ(At(8, 0), Opaque(128, 0, 0)); // the font's black is transparent
    EXPECT_EQ(At(0, 32), Opaque(128, 0, 0));

    // 256 x 128: 8 rows, codes taken modulo 128.
    const auto wide = temp_ / "wide.bmp";
    test::WritePicture(wide, CodedFont(256, 128, 8));
    LoadFont(*display_, wide.string(), 1);
    EXPECT_EQ(FontCharSize(*display_).height, 16);
    PrintText(*display_, "\xC1" "A", 20, 40); // 193 prints as 65
    EXPECT_EQ(At(20, 40), Opaque(65, 100, 200));
    EXPECT_EQ(At(36, 55), Opaque(65, 100, 200));
}

TEST_F(Fonts, NumbersPrintAsTheirText) {
    LoadFont(*display_, "", 0);
    PrintText(*display_, "-3.5", 2, 2);
    const std::vector<std::uint8_t> text = Screen();
    ClearScreen(*display_);
    PrintNumber(*display_, -3.5, 2, 2);
    EXPECT_EQ(Screen(), text);
    EXPECT_EQ(At(2 + 3 * 8 + 2, 2 + 1), kWhite); // top of the '5'
}

TEST_F(Fonts, StartUpPrefersTheDefaultFontFiles) {
    const test::WorkingFolder inTemp(temp_.path());
    InstallDefaultFont(*display_);
    EXPECT_EQ(FontCharSize(*display_).width, 8); // only the compiled-in font

    test::WritePicture(temp_ / "smalfont.bmp", CodedFont(64, 32, 8));
    InstallDefaultFont(*display_);
    EXPECT_EQ(FontCharSize(*display_).width, 4);

    test::WritePicture(temp_ / "smalfont.png", CodedFont(96, 48, 8));
    LoadFont(*display_, "", 5);
    InstallDefaultFont(*display_);
    EXPECT_EQ(display_->Drawing.CurrentFont, 0);
    EXPECT_EQ(FontCharSize(*display_).width, 6);
}

} // namespace
} // namespace vlm
