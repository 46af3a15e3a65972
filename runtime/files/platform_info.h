// PlatformInfo: questions about the machine and the build, by key.
#pragma once

#include <cstdint>
#include <ctime>
#include <string_view>

#include "values/dyn_string.h"

namespace vlm {

// Upper-cases the caller's key in place and answers it; unknown keys answer
// "NO_DATA". Keys: "" "DEVICE" "TIME" "BATTERY" "COMPILED" "HOSTID" "ID"
// "LOCALE" "DOCUMENTS" and "GLEXT:<function name>".
DynString PlatformInfo(DynString& key);

// The program's build stamp for "COMPILED"; a program passes its own
// __DATE__ and __TIME__. Until then the runtime's own build is reported.
void SetBuildStamp(const char* date, const char* time);

// The parts of the answers, apart for testing.
DynString LocalTimeText(std::time_t when);             // "YYYY-MM-DD hh:mm:ss"
std::uint16_t LanguageIdFromLocale(std::string_view locale); // "de_DE.UTF-8" -> 0x0407; 0 when unknown
DynString LocaleCode(std::uint16_t languageId);        // the table, then the renames
DynString MachineIdText(std::uint32_t serial);         // 8 upper-case hex digits, lowest byte first

} // namespace vlm
