#include "gfx2d/bitmap_fonts.h"

#include <gtest/gtest.h>

#include <string>

#include "files/error_state.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

using namespace test;

const Rgba kOutline = Opaque(8, 8, 8), kGrey = Opaque(64, 64, 64);

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

// A font picture whose cell for code c shows colour (c, 100, 200) in its
// left half and black (the font key) in its right half.
ImageBuffer CodedFont(int width, int height, int rows) {
    const int cw = width / 16, ch = height / rows;
    return MakeImage(width, height, [=](int x, int y) {
        const int code = (y / ch) * 16 + x / cw;
        return x % cw < cw / 2 ? Opaque(static_cast<std::uint8_t>(code), 100, 200) : Opaque(0, 0, 0);
    });
}

class Fonts : public GlDrawing {};

TEST_F(Fonts, EmptyNameInstallsTheBuiltinFontAndReportsNoSuchFile) {
    LoadFont(*display_, "", 2);
    EXPECT_EQ(TheErrorState().LastErrorCode, kErrorNoSuchFile);
    EXPECT_EQ(display_->Drawing.CurrentFont, 2);

    SetFont(*display_, 40);
    EXPECT_EQ(display_->Drawing.CurrentFont, 31);
    EXPECT_EQ(FontCharSize(*display_).width, 0); // an empty slot
    PrintText(*display_, "AB", 0, 0);            // draws nothing
    EXPECT_EQ(At(1, 1), kBlack);
    SetFont(*display_, -3);
    EXPECT_EQ(display_->Drawing.CurrentFont, 0);
}

TEST_F(Fonts, TheBuiltinFontPrintsFromRoundedUpPositionsCellByCell) {
    LoadFont(*display_, "", 0);
    FillRect(*display_, 0, 0, kWidth, kHeight, 0x00404040);
    PrintText(*display_, "AA", 10.2, 5);
    // Codes below 32 and the space have no glyph.
    std::string noGlyphs(" ");
    for (char c = 1; c < 32; ++c)
        noGlyphs += c;
    PrintText(*display_, noGlyphs.substr(0, 16), 0, 30);
    PrintText(*display_, noGlyphs.substr(16), 0, 40);
    ExpectScreen([](int x, int y) {
        if (!Inside(x, y, 11, 5, 26, 12)) return kGrey;
        const char c = kLetterA[y - 5][(x - 11) % 8];
        return c == '#' ? kWhite : c == 'o' ? kOutline : kGrey;
    });
}

TEST_F(Fonts, TallPicturesHold256CodesAndWidePictures128) {
    // 256 x 512: 16 rows of 16 x 32 cells.
    const auto tall = temp_ / "tall.bmp";
    WritePicture(tall, CodedFont(256, 512, 16));
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
    WritePicture(wide, CodedFont(256, 128, 8));
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
    const WorkingFolder inTemp(temp_.path());
    InstallDefaultFont(*display_);
    EXPECT_EQ(FontCharSize(*display_).width, 8); // only the compiled-in font

    WritePicture(temp_ / "smalfont.bmp", CodedFont(64, 32, 8));
    InstallDefaultFont(*display_);
    EXPECT_EQ(FontCharSize(*display_).width, 4);

    WritePicture(temp_ / "smalfont.png", CodedFont(96, 48, 8));
    LoadFont(*display_, "", 5);
    InstallDefaultFont(*display_);
    EXPECT_EQ(display_->Drawing.CurrentFont, 0);
    EXPECT_EQ(FontCharSize(*display_).width, 6);
}

} // namespace
} // namespace vlm
