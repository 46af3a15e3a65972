// Input scripts: a session's mouse, buttons and keys as frame-numbered text
// lines, read for replay (VELMORA_INPUT_SCRIPT) and written by recording
// (VELMORA_RECORD).
//
//   # comment
//   12 move 100 200     pointer at client pixel (100, 200)
//   12 down 1           button down: 1 left, 2 right, 3 middle
//   14 up 1             button up
//   15 wheel -1         wheel steps (positive away from the user)
//   20 keydown 30       key down by scan code (0..255)
//   22 keyup 30
//   40 shot title.png   save the picture this frame shows (.png or .bmp)
//   99 end              end the program in order
//
// Frame n is the n-th frame the program presents: input of frame n is what
// the program reads while drawing the frame after it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vlm {

enum class ScriptAction { Move, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp, Shot, End };

struct ScriptEvent {
    std::uint32_t Frame = 0;
    ScriptAction Action = ScriptAction::End;
    std::int32_t A = 0; // x, button (1..3), wheel steps or scan code
    std::int32_t B = 0; // y
    std::string Name;   // shot file name
    bool operator==(const ScriptEvent&) const = default;
};

struct ScriptParseResult {
    std::vector<ScriptEvent> Events; // in frame order (stable)
    std::string Error;               // empty when the whole text was read
};

ScriptParseResult ParseInputScript(std::span<const std::uint8_t> bytes);
ScriptParseResult ParseInputScript(std::string_view text);
// One line of the script (without the line end).
std::string FormatScriptEvent(const ScriptEvent& event);

} // namespace vlm
