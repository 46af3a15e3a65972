#include "input/input_line.h"

#include "frame/display.h"
#include "frame/frame_loop.h"
#include "gfx2d/bitmap_fonts.h"
#include "input/input_devices.h"
#include "input/key_text.h"
#include "values/number_text.h"

namespace vlm {

namespace {

constexpr char kReturn = 10;
constexpr char kBackspace = 8;
// The mark changes on every 21st frame without a character.
constexpr std::int32_t kBlinkFrames = 20;

} // namespace

DynString InputLine(double x, double y) {
    Display* display = TheDisplay();
    if (!display || !TheInput()) return {}; // nothing could ever end the line
    // The picture behind the line is kept and drawn under every frame of it;
    // the first frame shows it as it stands.
    GrabBackground(*display, kLineInputBackground);
    ShowFrame();

    DynString line;
    std::int32_t idleFrames = 0;
    bool markShown = true;
    for (;;) {
        const DynString typed = ReadKeyChar();
        if (typed.empty()) {
            if (++idleFrames > kBlinkFrames) {
                idleFrames = 0;
                markShown = !markShown;
            }
        } else if (typed[0] == kReturn) {
            DiscardBackground(*display, kLineInputBackground);
            return line;
        } else if (typed[0] == kBackspace) {
            if (!line.empty()) line.Truncate(line.length() - 1);
        } else {
            line += typed;
        }
        DrawBackground(*display, kLineInputBackground);
        PrintText(*display, markShown ? (line + "_").view() : line.view(), x, y);
        ShowFrame();
    }
}

std::int32_t InputLineInteger(double x, double y) {
    return TextToInteger(InputLine(x, y));
}

double InputLineNumber(double x, double y) {
    return TextToNumber(InputLine(x, y));
}

} // namespace vlm
