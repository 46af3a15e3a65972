// The program's table of routines by name, used for the optional hooks
// "VLM_ON_QUIT" and "VLM_WIN32_MSG".
#pragma once

#include <string_view>

namespace vlm {

using SubRoutine = void (*)();

// One (routine, name) pair; a table ends with an entry whose routine is null.
struct SubEntry {
    SubRoutine routine;
    const char* name;
};

// Makes `table` the process's registry (null: an empty one).
void InstallSubRegistry(const SubEntry* table);
// The first routine whose name is byte-equal to `name`, or null.
SubRoutine FindSub(std::string_view name);
// Calls the named routine with no arguments; false when there is none.
bool CallSubByName(std::string_view name);

} // namespace vlm
