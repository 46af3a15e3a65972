// Debug output, call by name, the assertion and the console.
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/sub_registry.h"
#include "values/dyn_string.h"

namespace vlm {

// "TX" + text to standard error, only while a debugger is attached.
void DebugOutput(std::string_view text);
// Calls the program's routine of that name: 1 when found, else 0 (and a
// debug line, except for the optional hooks "VLM_ON_QUIT" and "VLM_WIN32_MSG").
std::int32_t CallByName(const DynString& name);
SubRoutine FunctionAddressByName(const DynString& name); // null when there is none
// A value of 0 reports the assertion and ends the program with code 21.
void Assertion(std::int32_t value);

void PrintOut(const DynString& text);   // standard output, as it stands
void PrintError(const DynString& text); // standard error, as it stands
// One line of standard input (at most 4094 bytes), without its line feed.
DynString ReadConsoleLine();

} // namespace vlm
