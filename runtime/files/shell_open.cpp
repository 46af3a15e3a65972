#include "files/shell_open.h"

#include <string>

#include "frame/lifecycle.h"

namespace vlm {

void ShellOpen(const DynString& name) {
    // The name is one argument, never shell text.
    const std::string arguments[] = {"xdg-open", std::string(name.view())};
    EndAndStart(arguments, true);
}

} // namespace vlm
