// Process start-up and the one orderly way out of the program.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "values/dyn_string.h"

namespace vlm {

struct SubEntry;

// The routines a program supplies to the runtime.
struct ProgramEntry {
    void (*startupSettings)(); // fills the start-up settings
    void (*gameMain)();        // the program's body
    const SubEntry* subRegistry;
};

// Stores the command line, lets the program fill its start-up settings,
// starts the runtime and runs the program's body; never returns.
[[noreturn]] void RuntimeMain(int argc, char** argv, const ProgramEntry& program);
void RuntimeStartup(const DynString& title);
// Releases everything start-up created, in a fixed order.
void ShutdownRuntime();

// ---- Program-facing ---------------------------------------------------------
// Debug report, the program's "VLM_ON_QUIT" hook (once), shutdown, exit 0.
[[noreturn]] void EndProgram();
// Runs "VLM_ON_QUIT" (once), shuts down, starts `command` detached and exits 0.
[[noreturn]] void EndAndRun(const DynString& command);
// The same for a program and its arguments (no shell); with quiet set its
// standard streams go to /dev/null.
[[noreturn]] void EndAndStart(std::span<const std::string> arguments, bool quiet);

// The whole command line, program path included.
const DynString& CommandLine();
// The folder holding the program file, ending in '/'.
const DynString& ProgramFolder();

} // namespace vlm
