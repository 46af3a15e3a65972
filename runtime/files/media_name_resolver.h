// MediaNameResolver: the one place where every loader turns a name into
// something to open. Disk paths and registered "mem://" names resolve to
// themselves; there is no media package, so anything else is not found.
#pragma once

#include <string>
#include <string_view>

#include "values/dyn_string.h"

namespace vlm {

struct ResolvedName {
    DynString name; // the name to open (unchanged when nothing else is known)
    bool found = false;
};

ResolvedName MediaNameResolver(std::string_view name);

// A program's file name as a path of this platform: '\' becomes '/'. A name
// holding a NUL byte names no file (the system would read only its start):
// its path is empty, which every file call refuses.
std::string PlatformPath(std::string_view name);

} // namespace vlm
