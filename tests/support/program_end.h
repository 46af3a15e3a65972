// Death-test helpers for paths that end the program: the child installs a
// quit hook that prints the error code, so the parent can match it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>

#include "files/error_state.h"
#include "frame/sub_registry.h"

namespace vlm::test {

inline void PrintErrorCodeOnQuit() {
    std::fprintf(stderr, "ended with code %d\n", TheErrorState().LastErrorCode);
    std::fflush(stderr);
}
inline const SubEntry kPrintErrorCodeHook[] = {{PrintErrorCodeOnQuit, "VLM_ON_QUIT"}, {nullptr, nullptr}};

} // namespace vlm::test

// The statement ends the program (exit code 0) with LastErrorCode == code.
#define EXPECT_ENDS_WITH_CODE(statement, code)                                                                   \
    EXPECT_EXIT(                                                                                                 \
        {                                                                                                        \
            ::vlm::InstallSubRegistry(::vlm::test::kPrintErrorCodeHook);                                         \
            statement;                                                                                           \
        },                                                                                                       \
        ::testing::ExitedWithCode(0), "ended with code " #code "\n")
