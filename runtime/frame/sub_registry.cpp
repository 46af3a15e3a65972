#include "frame/sub_registry.h"

namespace vlm {

namespace {
const SubEntry* theSubRegistry = nullptr;
} // namespace

void InstallSubRegistry(const SubEntry* table) { theSubRegistry = table; }

SubRoutine FindSub(std::string_view name) {
    if (!theSubRegistry) return nullptr;
    for (const SubEntry* e = theSubRegistry; e->routine; ++e) {
        if (e->name && name == e->name) return e->routine;
    }
    return nullptr;
}

bool CallSubByName(std::string_view name) {
    const SubRoutine routine = FindSub(name);
    if (!routine) return false;
    routine();
    return true;
}

} // namespace vlm
