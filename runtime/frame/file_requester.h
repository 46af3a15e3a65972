// The system's file dialog for opening or saving.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "values/dyn_string.h"

namespace vlm {

// The dialog program's arguments for a filter text (kept apart for testing).
std::vector<std::string> FileDialogArguments(bool open, std::string_view filter);

// ---- Program-facing ---------------------------------------------------------

// `filter` is "description|pattern|description|pattern...", patterns of
// several masks separated by ';' ("Pictures|*.png;*.bmp"). The game window
// hides while the dialog is open. The chosen path with '/' separators, or
// "NO_FILE" when cancelled, when there is no dialog program ("zenity") or
// when running headless.
DynString FileRequester(double openFlag, const DynString& filter);

} // namespace vlm
