#include "files/media_name_resolver.h"

#include <sys/stat.h>

#include "files/memory_files.h"

namespace vlm {

std::string PlatformPath(std::string_view name) {
    if (name.find('\0') != std::string_view::npos) return {};
    std::string path(name);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

ResolvedName MediaNameResolver(std::string_view name) {
    ResolvedName resolved{DynString(name), false};
    if (IsMemoryFileName(name)) {
        resolved.found = FindMemoryBlock(name).has_value();
    } else if (!name.empty()) {
        struct stat info{};
        resolved.found = ::stat(PlatformPath(name).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    }
    return resolved;
}

} // namespace vlm
