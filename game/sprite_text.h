// Splosh: words and numbers on the game's screens, stamped one font frame
// per character.
#pragma once

#include "values/dyn_string.h"

namespace splosh {

// Fonts: 0 large (16-pixel advance), 1 small (5), 2 medium (10); any other
// number draws nothing. Glyph frame k shows character k + 32. In fonts 1
// and 2 a few characters narrow or widen the gap after them.
void PrintSpriteText(double x, double y, const vlm::DynString& text, double font);

} // namespace splosh
