// Splosh: where the game's pictures and music are and the sprites they
// become.
#pragma once

namespace splosh {

// Sprite ids of the game's pictures.
inline constexpr int kBlocksSprite = 1;     // 16 x 16: colours 0..5, frame 7 the logo block
inline constexpr int kColoursSprite = 2;    // 32 x 32: loaded, never drawn
inline constexpr int kLargeFontSprite = 3;  // font 0, 16 x 28 glyphs
inline constexpr int kSmallFontSprite = 4;  // font 1, 5 x 7 glyphs
inline constexpr int kMediumFontSprite = 5; // font 2, 10 x 14 glyphs
inline constexpr int kRainbowSprite = 6;    // 96 x 4: the title's band
inline constexpr int kSpectrumSprite = 7;   // 75 x 21: swatches 0..5, frame 6 the marker
inline constexpr int kUpscaleSprite = 999;  // the 320 x 240 picture, doubled on the desktop

inline constexpr const char* kDesktopMusic = "Media/sfx/music.mp3";
inline constexpr const char* kDeviceMusic = "Media/sfx/music.ogg";

// The runtime starts in the program's folder. An installed game keeps its
// media apart (<prefix>/bin/splosh, <prefix>/share/splosh/Media): when
// there is no "Media" here and there is one in ../share/splosh, that
// folder becomes the working folder.
void EnterMediaFolder();

// Sprites 1 to 7 from "Media/gfx", in id order, cut into their frames.
void LoadGameSprites();

} // namespace splosh
