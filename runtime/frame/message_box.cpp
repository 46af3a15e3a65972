#include "frame/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/error_log.h"
#include "platform/window.h"
#include "values/windows_1252.h"

namespace vlm {

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
