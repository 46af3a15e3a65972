#include "input/input_recorder.h"

namespace vlm {

std::unique_ptr<InputRecorder> InputRecorder::Open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return nullptr;
    std::fputs("# Velmora input recording\n", file);
    return std::unique_ptr<InputRecorder>(new InputRecorder(file));
}

InputRecorder::~InputRecorder() {
    Write({lastFrame_, ScriptAction::End, 0, 0, {}});
    std::fclose(file_);
}

void InputRecorder::Write(const ScriptEvent& event) {
    std::fputs(FormatScriptEvent(event).c_str(), file_);
    std::fputc('\n', file_);
}

void InputRecorder::RecordFrame(std::uint32_t frame, bool pointerChanged, std::int32_t x, std::int32_t y,
                                std::int32_t wheel, std::uint32_t buttons,
                                const std::array<std::uint8_t, 256>& keys) {
    lastFrame_ = frame;
    if (pointerChanged) Write({frame, ScriptAction::Move, x, y, {}});
    if (wheel != 0) Write({frame, ScriptAction::Wheel, wheel, 0, {}});
    constexpr std::pair<std::uint32_t, std::int32_t> kButtons[] = {
        {kLeftButton, 1}, {kRightButton, 2}, {kMiddleButton, 3}};
    for (const auto& [bit, number] : kButtons) {
        if ((buttons & bit) != (buttons_ & bit)) {
            Write(
                {frame, (buttons & bit) ? ScriptAction::ButtonDown : ScriptAction::ButtonUp, number, 0, {}});
        }
    }
    buttons_ = buttons;
    for (std::size_t code = 0; code < keys.size(); ++code) {
        const bool down = (keys[code] & 0x80) != 0;
        if (down != ((keys_[code] & 0x80) != 0)) {
            Write({frame,
                   down ? ScriptAction::KeyDown : ScriptAction::KeyUp,
                   static_cast<std::int32_t>(code),
                   0,
                   {}});
        }
    }
    keys_ = keys;
    // A session cut short still leaves everything up to this frame.
    std::fflush(file_);
}

} // namespace vlm
