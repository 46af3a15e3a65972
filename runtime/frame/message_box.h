// Message boxes of the runtime. With VELMORA_HEADLESS=1 no modal dialog is
// ever shown: the text goes to the log and to standard error instead.
#pragma once

#include <string_view>

namespace vlm {

bool RunningHeadless();
void ShowMessageBox(std::string_view caption, std::string_view text);

} // namespace vlm
