#include "files/error_state.h"

#include <cstdio>

#include "frame/lifecycle.h"

namespace vlm {

namespace {
ErrorState theErrorState;
} // namespace

ErrorState& TheErrorState() { return theErrorState; }

void SetErrorCode(std::int32_t code) {
    theErrorState.LastErrorCode = code;
    theErrorState.LastErrorLine = theErrorState.CurrentSourceLine;
}

void RaiseRuntimeError(std::int32_t code) {
    SetErrorCode(code);
    EndProgram();
}

void MarkSourcePosition(std::int32_t unit, std::int32_t line) {
    theErrorState.CurrentSourceUnit = unit;
    theErrorState.CurrentSourceLine = line;
}

const char* ErrorTextFor(std::int32_t code) {
    switch (code) {
    case kErrorSuccess: return "success";
    case kErrorNoSuchFile: return "no such file";
    case kErrorOutOfMemory: return "out of memory";
    case kErrorOutOfBounds: return "out of bounds";
    case kErrorOutOfData: return "out of data";
    default: return "unknown error";
    }
}

DynString ErrorText() {
    const std::int32_t code = theErrorState.LastErrorCode;
    char text[64];
    std::snprintf(text, sizeof text, "%.4d %s", code, ErrorTextFor(code));
    return DynString(text);
}

} // namespace vlm
