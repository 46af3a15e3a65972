#include <optional>

#include "input/input_source.h"
#include "platform/keyboard.h"
#include "platform/mouse.h"
#include "platform/window.h"

namespace vlm {

namespace {

class DeviceInput final : public InputSource {
  public:
    explicit DeviceInput(platform::GlWindow* const& window) : window_(window) {}

    void BeginFrame(std::uint32_t /*frame*/) override {
        shown_ = latched_;
        latched_ = {};
    }

    bool ReadKeys(std::span<std::uint8_t, 256> state) override {
        if (!window_ || !window_->HasInputFocus()) return false;
        platform::ReadKeyState(state);
        // A tap that began and ended between two polls still counts as down
        // until the frame after the one it came in.
        for (std::size_t code = 0; code < state.size(); ++code)
            state[code] |= latched_[code] | shown_[code];
        return true;
    }

    void NoteKeyPress(std::uint8_t scanCode) override {
        lastPressed_ = scanCode;
        if (scanCode == 0) return;
        latched_[scanCode] = 0x80;
        typed_[scanCode] = 0;
    }

    // The layout, shift levels, AltGr and dead keys are the window system's
    // business: a key types the text it sent with the key's press.
    void NoteTypedCharacter(std::uint8_t character) override {
        if (lastPressed_ != 0) typed_[lastPressed_] = character;
    }

    // A key not pressed yet types what the layout gives it without modifiers.
    std::uint8_t TypedCharacter(std::uint8_t scanCode) const override {
        const auto& typed = typed_[scanCode];
        return typed ? *typed : static_cast<std::uint8_t>(platform::LayoutCharForScanCode(scanCode));
    }

    PointerSample ReadPointer(bool captured) override {
        PointerSample sample;
        sample.Wheel = wheel_;
        wheel_ = 0;
        if (captured) {
            sample.Absolute = false;
            platform::RelativeMotion(sample.DeltaX, sample.DeltaY);
        } else if (window_) {
            platform::PointerPosition(*window_, sample.X, sample.Y);
        } else {
            sample.Moved = false;
        }
        return sample;
    }

    std::uint32_t ReadButtons() override { return platform::MouseButtons(); }
    void AddWheel(std::int32_t steps) override { wheel_ += steps; }

  private:
    // A reference to the owner's window pointer: the input follows the
    // display's window when it is replaced.
    platform::GlWindow* const& window_;
    std::int32_t wheel_ = 0;
    std::array<std::uint8_t, 256> latched_{}; // presses since this frame began
    std::array<std::uint8_t, 256> shown_{};   // presses of the frame before
    std::array<std::optional<std::uint8_t>, 256> typed_{}; // by scan code, since the key's last press
    std::uint8_t lastPressed_ = 0;
};

} // namespace

std::unique_ptr<InputSource> MakeDeviceInput(platform::GlWindow* const& window) {
    return std::make_unique<DeviceInput>(window);
}

} // namespace vlm
