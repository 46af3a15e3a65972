// Starting other programs: one that outlives this one, or one whose output
// is wanted.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vlm::platform {

// Starts arguments[0] (searched on PATH) with the given arguments in a
// session of its own, without waiting for it. With quiet set its standard
// streams go to /dev/null. False when it could not be started.
bool StartDetachedProcess(std::span<const std::string> arguments, bool quiet);
// Runs arguments[0] (searched on PATH), waits for it and gives what it wrote
// to its standard output; nullopt when it could not run or did not end with 0.
std::optional<std::string> RunForOutput(std::span<const std::string> arguments);
// Whether an executable of this name is in one of the PATH folders.
bool ProgramOnPath(std::string_view name);

} // namespace vlm::platform
