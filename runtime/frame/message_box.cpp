#include "frame/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/error_log.h"
#include "platform/window.h"

namespace vlm {

std::string Utf8FromSingleByte(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

bool RunningHeadless() {
    const char* value = std::getenv("VELMORA_HEADLESS");
    return value && std::string_view(value) == "1";
}

void ShowMessageBox(std::string_view caption, std::string_view text) {
    if (!RunningHeadless()) {
        platform::ShowWarningBox(Utf8FromSingleByte(caption), Utf8FromSingleByte(text));
        return;
    }
    std::string flat(text);
    for (char& c : flat) {
        if (c == '\n') c = ' ';
    }
    const std::string line = std::string(caption) + ": " + flat;
    AppendLogLine(line);
    std::fprintf(stderr, "%s\n", Utf8FromSingleByte(line).c_str());
}

} // namespace vlm
