// The one-time warning for software renderers too slow to play on.
#pragma once

#include <string_view>

namespace vlm {

// Mesa's softpipe and the classic swrast; llvmpipe is fast enough.
bool IsSlowSoftwareRenderer(std::string_view renderer);
// Reads the current context's renderer (once per process) and, when it is a
// slow one, warns once: message box and the log line.
void WarnAboutSoftwareRenderer();

} // namespace vlm
