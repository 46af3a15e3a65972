#include "input/key_text.h"

#include "input/input_devices.h"

namespace vlm {

namespace {

constexpr std::uint8_t kLeftShift = 42;
constexpr std::uint8_t kRightShift = 54;
constexpr std::uint8_t kReturn = 28;
constexpr std::uint8_t kKeypadEnter = 156;
constexpr std::uint8_t kBackspace = 14;

bool GivesNoCharacter(std::int32_t code) {
    switch (code) {
    case 42:
    case 54:
    case 29:
    case 56:
    case 58:
    case 69:
    case 221:
        return true;
    default:
        return false;
    }
}

} // namespace

std::uint8_t CharForScanCode(const InputDevices& input, std::int32_t scanCode) {
    const auto code = static_cast<std::uint8_t>(scanCode & 255);
    if (GivesNoCharacter(code)) return 0;
    if (code == kReturn || code == kKeypadEnter) return 10;
    if (code == kBackspace) return 8;
    // What a key types (layout, shift level, AltGr, dead keys) is the input source's to say.
    const std::uint8_t byte = input.Source().TypedCharacter(code);
    // Control characters other than Backspace and Return type nothing; nor does Delete (127).
    if ((byte >= 1 && byte <= 31 && byte != 8 && byte != 10) || byte == 127) return 0;
    return byte;
}

DynString ReadKeyChar(InputDevices& input) {
    PollKeyboard(input);
    std::uint8_t character = 0;
    for (std::int32_t code = 0; code <= 254 && character == 0; ++code) {
        if (KeyStateDown(input, code)) character = CharForScanCode(input, code);
    }
    // Letters are compared in lower case and take the shift keys' case; a
    // held key is returned once.
    std::uint8_t lower = character;
    if (lower >= 'A' && lower <= 'Z') lower = static_cast<std::uint8_t>(lower - 'A' + 'a');
    const bool shift = KeyStateDown(input, kLeftShift) || KeyStateDown(input, kRightShift);
    const std::uint8_t k = lower >= 'a' && lower <= 'z' && shift ? static_cast<std::uint8_t>(lower - 'a' + 'A') : lower;
    if (lower == input.LastTypedKey) return DynString();
    input.LastTypedKey = lower;
    if (k == 0) return DynString();
    const char text[2] = {static_cast<char>(k), 0};
    return DynString(text);
}

DynString ReadKeyChar() {
    InputDevices* input = TheInput();
    return input ? ReadKeyChar(*input) : DynString();
}

std::int32_t CharForScanCode(std::int32_t scanCode) {
    const InputDevices* input = TheInput();
    return input ? CharForScanCode(*input, scanCode) : 0;
}

} // namespace vlm
