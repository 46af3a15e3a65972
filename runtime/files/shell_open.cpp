#include "files/shell_open.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/error_state.h"
#include "frame/lifecycle.h"
#include "frame/sub_registry.h"
#include "platform/process.h"

namespace vlm {

void ShellOpen(const DynString& name) {
    CallSubByName("VLM_ON_QUIT");
    ShutdownRuntime();

    // The name is one argument, never shell text.
    const std::string arguments[] = {"xdg-open", std::string(name.view())};
    platform::StartDetachedProcess(arguments, true);

    // The quit hook and shutdown have run already: end here rather than
    // through EndProgram, which would run both a second time.
    SetErrorCode(kErrorSuccess);
    std::fflush(nullptr);
    std::exit(0);
}

} // namespace vlm
