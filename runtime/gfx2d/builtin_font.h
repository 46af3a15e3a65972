// The small font compiled into the runtime: printable ASCII as 5 x 6 glyphs
// with a dark outline, in 8 x 8 cells of a 128 x 64 picture.
#pragma once

#include "gfx2d/image_buffer.h"

namespace vlm {

inline constexpr std::int32_t kBuiltinFontWidth = 128;
inline constexpr std::int32_t kBuiltinFontHeight = 64;

// Fills `image` with the font picture: glyph pixels white, their outline
// dark grey, everything else transparent black.
void BuildBuiltinFontImage(ImageBuffer& image);

} // namespace vlm
