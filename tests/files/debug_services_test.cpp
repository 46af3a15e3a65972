#include "files/debug_services.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/ptrace.h>
#include <sys/wait.h>
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

// Runs `body` in a child whose standard error is captured; with `traced`
// the child asks to be traced by this process, as under a debugger.
std::string ChildStandardError(bool traced, void (*body)()) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], 2);
        ::close(pipeEnds[0]);
        if (traced && ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(3);
        body();
        std::fflush(stderr);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}

TEST(DebugOutput, OnlyWhileADebuggerIsAttached) {
    const auto body = [] { DebugOutput("hello\n"); };
    EXPECT_EQ(ChildStandardError(true, body), "TXhello\n");
    EXPECT_EQ(ChildStandardError(false, body), "");
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

TEST(CallByName, MissingRoutinesAreReportedToTheDebugger) {
    const auto missing = [] {
        InstallSubRegistry(kTable);
        CallByName(DynString("Nowhere"));
        CallByName(DynString("VLM_ON_QUIT"));
        CallByName(DynString("VLM_WIN32_MSG"));
    };
    EXPECT_EQ(ChildStandardError(true, missing), "TXCALLBYNAME \"Nowhere\" *** failed ***\n");
}

TEST(AssertionDeathTest, ZeroEndsTheProgramWithCode21) {
    TempFolder temp;
    Assertion(1);
    EXPECT_ENDS_WITH_CODE(Assertion(0), 21);
}

void EndAtOnce() { std::_Exit(0); }
const SubEntry kEndAtOnce[] = {{EndAtOnce, "VLM_ON_QUIT"}, {nullptr, nullptr}};

TEST(AssertionDeathTest, ReportsToTheDebugger) {
    // The quit hook ends the traced child at once, before any exit-time
    // handler could write to standard error.
    const auto failing = [] {
        InstallSubRegistry(kEndAtOnce);
        Assertion(0);
    };
    EXPECT_EQ(ChildStandardError(true, failing), "TXAssertion: Value = 0\n");
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
