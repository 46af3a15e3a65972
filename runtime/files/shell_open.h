// Handing a document or address to the desktop, then ending the program.
#pragma once

#include "values/dyn_string.h"

namespace vlm {

// Runs "VLM_ON_QUIT", shuts the runtime down, starts "xdg-open name"
// detached and ends the program (exit code 0). Does not return.
[[noreturn]] void ShellOpen(const DynString& name);

} // namespace vlm
