// Starting another program that outlives this one.
#pragma once

#include <span>
#include <string>

namespace vlm::platform {

// Starts arguments[0] (searched on PATH) with the given arguments in a
// session of its own, without waiting for it. With quiet set its standard
// streams go to /dev/null. False when it could not be started.
bool StartDetachedProcess(std::span<const std::string> arguments, bool quiet);

} // namespace vlm::platform
