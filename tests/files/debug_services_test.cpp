#include "files/debug_services.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/ptrace.h>
#include <unistd.h>

#include "files/error_state.h"
#include "frame/error_log.h"
#include "support/program_end.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::TempFolder;
using test::WriteWholeFile;

int theCalls = 0;
void CountCall() { ++theCalls; }
void OtherCall() { theCalls += 100; }
const SubEntry kTable[] = {{CountCall, "Count"}, {OtherCall, "Count"}, {OtherCall, "Other"}, {nullptr, nullptr}};

void Hello() { DebugOutput("hello\n"); }
void CallMissingRoutines() {
    InstallSubRegistry(kTable);
    CallByName(DynString("Nowhere"));
    CallByName(DynString("VLM_ON_QUIT")); // the hooks may be missing
    CallByName(DynString("VLM_WIN32_MSG"));
}
// The quit hook ends the child at once, before any exit-time handler could
// write to standard error.
void EndAtOnce() { std::_Exit(0); }
const SubEntry kEndAtOnce[] = {{EndAtOnce, "VLM_ON_QUIT"}, {nullptr, nullptr}};
void FailAnAssertion() {
    InstallSubRegistry(kEndAtOnce);
    Assertion(0);
}

// Runs `body` in the death-test child; with `traced` the child asks to be
// traced by its parent, as under a debugger.
void RunInChild(void (*body)(), bool traced) {
    if (traced && ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) std::_Exit(3);
    body();
    std::fflush(stderr);
    std::_Exit(0);
}

TEST(DebugOutputDeathTest, ReachesOnlyAnAttachedDebugger) {
    EXPECT_EXIT(RunInChild(Hello, true), ::testing::ExitedWithCode(0), "^TXhello\n$");
    EXPECT_EXIT(RunInChild(Hello, false), ::testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(RunInChild(CallMissingRoutines, true), ::testing::ExitedWithCode(0),
                "^TXCALLBYNAME \"Nowhere\" \\*\\*\\* failed \\*\\*\\*\n$");
    EXPECT_EXIT(RunInChild(FailAnAssertion, true), ::testing::ExitedWithCode(0), "^TXAssertion: Value = 0\n$");
}

TEST(CallByName, CallsTheFirstMatchOnly) {
    InstallSubRegistry(kTable);
    theCalls = 0;
    EXPECT_EQ(CallByName(DynString("Count")), 1);
    EXPECT_EQ(theCalls, 1);
    EXPECT_EQ(CallByName(DynString("count")), 0); // names are case-sensitive
    EXPECT_EQ(FunctionAddressByName(DynString("Other")), &OtherCall);
    EXPECT_EQ(FunctionAddressByName(DynString("Missing")), nullptr);
    InstallSubRegistry(nullptr);
}

TEST(AssertionDeathTest, ZeroEndsTheProgramWithCode21) {
    TempFolder temp;
    Assertion(1);
    EXPECT_ENDS_WITH_CODE(Assertion(0), 21);
}

TEST(ConsoleDeathTest, ReadsOneLineWithoutItsLineFeed) {
    TempFolder temp;
    std::string longLine(5000, 'q');
    WriteWholeFile(temp / "input.txt", "abc\n" + longLine + "\nlast");
    const std::string input = (temp / "input.txt").string();
    EXPECT_EXIT(
        {
            if (!std::freopen(input.c_str(), "r", stdin)) std::_Exit(1);
            if (ReadConsoleLine() != "abc") std::_Exit(2);
            if (ReadConsoleLine().length() != 4094) std::_Exit(3);
            ReadConsoleLine(); // the rest of the long line
            if (ReadConsoleLine() != "last") std::_Exit(4);
            if (ReadConsoleLine() != "") std::_Exit(5);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Console, PrintsTextAsItStands) {
    testing::internal::CaptureStdout();
    PrintOut(DynString("100% done\n"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "100% done\n");
    testing::internal::CaptureStderr();
    PrintError(DynString("%s%d"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "%s%d");
}

} // namespace
} // namespace vlm
