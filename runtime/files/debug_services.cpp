#include "files/debug_services.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "files/error_state.h"
#include "platform/system_info.h"

namespace vlm {

namespace {

constexpr std::int32_t kErrorAssertion = 21;
constexpr int kConsoleLineLimit = 4095;

void WriteExactly(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

} // namespace

void DebugOutput(std::string_view text) {
    if (!platform::DebuggerAttached()) return;
    std::string line = "TX";
    line += text;
    WriteExactly(stderr, line);
    std::fflush(stderr);
}

std::int32_t CallByName(const DynString& name) {
    if (CallSubByName(name.view())) return 1;
    if (name != "VLM_ON_QUIT" && name != "VLM_WIN32_MSG") {
        DebugOutput("CALLBYNAME \"" + std::string(name.view()) + "\" *** failed ***\n");
    }
    return 0;
}

SubRoutine FunctionAddressByName(const DynString& name) { return FindSub(name.view()); }

void Assertion(std::int32_t value) {
    if (value != 0) return;
    DebugOutput("Assertion: Value = 0\n");
    RaiseRuntimeError(kErrorAssertion);
}

void PrintOut(const DynString& text) { std::fputs(text.c_str(), stdout); }
void PrintError(const DynString& text) { std::fputs(text.c_str(), stderr); }

DynString ReadConsoleLine() {
    char line[kConsoleLineLimit];
    if (!std::fgets(line, sizeof line, stdin)) return DynString();
    std::size_t n = std::strlen(line);
    if (n > 0 && line[n - 1] == '\n') line[--n] = '\0';
    return DynString(std::string_view(line, n));
}

} // namespace vlm
