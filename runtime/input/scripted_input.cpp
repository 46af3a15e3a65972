#include <algorithm>
#include <string_view>
#include <utility>

#include "input/input_source.h"
#include "platform/keyboard.h"

namespace vlm {

namespace {

constexpr std::size_t kLeftShift = 42;
constexpr std::size_t kRightShift = 54;

// The shifted characters of the keys of a US layout's main block.
char UsShifted(char c) {
    constexpr std::string_view plain = "1234567890-=[];'`\\,./";
    constexpr std::string_view shifted = "!@#$%^&*()_+{}:\"~|<>?";
    const std::size_t at = plain.find(c);
    return at == std::string_view::npos ? c : shifted[at];
}

class ScriptedInput final : public InputSource {
  public:
    explicit ScriptedInput(std::vector<ScriptEvent> events) : events_(std::move(events)) {}

    void BeginFrame(std::uint32_t frame) override {
        actions_ = {};
        for (; next_ < events_.size() && events_[next_].Frame <= frame; ++next_)
            Apply(events_[next_]);
    }

    bool ReadKeys(std::span<std::uint8_t, 256> state) override {
        std::copy(keys_.begin(), keys_.end(), state.begin());
        return true;
    }

    PointerSample ReadPointer(bool /*captured*/) override {
        PointerSample sample;
        sample.Moved = moved_;
        sample.X = x_;
        sample.Y = y_;
        sample.Wheel = wheel_;
        moved_ = false;
        wheel_ = 0;
        return sample;
    }

    std::uint32_t ReadButtons() override { return buttons_; }

    // A script names keys only: they type what the layout gives them, with
    // the shift keys of a US keyboard.
    std::uint8_t TypedCharacter(std::uint8_t scanCode) const override {
        char c = platform::LayoutCharForScanCode(scanCode);
        const bool shift = keys_[kLeftShift] || keys_[kRightShift];
        if (shift && !(c >= 'a' && c <= 'z')) c = UsShifted(c);
        return static_cast<std::uint8_t>(c);
    }
    FrameActions TakeFrameActions() override { return std::exchange(actions_, {}); }
    bool IsScripted() const override { return true; }

  private:
    void Apply(const ScriptEvent& e) {
        switch (e.Action) {
        case ScriptAction::Move:
            x_ = e.A;
            y_ = e.B;
            moved_ = true;
            break;
        case ScriptAction::ButtonDown:
            buttons_ |= ButtonBit(e.A);
            break;
        case ScriptAction::ButtonUp:
            buttons_ &= ~ButtonBit(e.A);
            break;
        case ScriptAction::Wheel:
            wheel_ += e.A;
            break;
        case ScriptAction::KeyDown:
            keys_[static_cast<std::size_t>(e.A & 255)] = 0x80;
            break;
        case ScriptAction::KeyUp:
            keys_[static_cast<std::size_t>(e.A & 255)] = 0;
            break;
        case ScriptAction::Shot:
            actions_.Shots.push_back(e.Name);
            break;
        case ScriptAction::End:
            actions_.End = true;
            break;
        }
    }

    static std::uint32_t ButtonBit(std::int32_t button) {
        return button == 1 ? kLeftButton : button == 2 ? kRightButton : kMiddleButton;
    }

    std::vector<ScriptEvent> events_;
    std::size_t next_ = 0;
    std::array<std::uint8_t, 256> keys_{};
    std::int32_t x_ = 0, y_ = 0, wheel_ = 0;
    bool moved_ = false;
    std::uint32_t buttons_ = 0;
    FrameActions actions_;
};

} // namespace

std::unique_ptr<InputSource> MakeScriptedInput(std::vector<ScriptEvent> events) {
    return std::make_unique<ScriptedInput>(std::move(events));
}

} // namespace vlm
