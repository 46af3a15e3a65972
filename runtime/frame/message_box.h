// Message boxes of the runtime. With VELMORA_HEADLESS=1 no modal dialog is
// ever shown: the text goes to the log and to standard error instead.
#pragma once

#include <string>
#include <string_view>

namespace vlm {

// The runtime's texts are single-byte (the Latin-1 range of Windows-1252);
// the window system and terminals want UTF-8.
std::string Utf8FromSingleByte(std::string_view text);

bool RunningHeadless();
void ShowMessageBox(std::string_view caption, std::string_view text);

} // namespace vlm
