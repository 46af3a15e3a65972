#include "frame/lifecycle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "files/error_state.h"
#include "frame/error_log.h"
#include "frame/startup_settings.h"
#include "frame/sub_registry.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

namespace vlm {
namespace {

using Lines = std::vector<std::string>;
using test::ReadLogLines;
using test::TempFolder;

void LogHookRun() { AppendLogLine("hook ran"); }
void LogHookThatEndsAgain() {
    LogHookRun();
    EndProgram();
}
// The program it runs leaves a mark in the test's folder.
void LogHookThatRunsAProgram() {
    LogHookRun();
    EndAndRun(DynString("echo started > \"$TMPDIR/started.txt\""));
}
const SubEntry kHookThatRunsAProgram[] = {{LogHookThatRunsAProgram, "VLM_ON_QUIT"}, {nullptr, nullptr}};
const SubEntry kLoggingHook[] = {{LogHookRun, "VLM_ON_QUIT"}, {nullptr, nullptr}};
const SubEntry kReentrantHook[] = {{LogHookThatEndsAgain, "VLM_ON_QUIT"}, {nullptr, nullptr}};

void FailOutOfBoundsOnLine41() {
    MarkSourcePosition(2, 41);
    RaiseRuntimeError(kErrorOutOfBounds);
}
void EndAndRunTrue() { EndAndRun(DynString("true")); }

class Lifecycle : public ::testing::Test {
protected:
    Lines Log() const { return ReadLogLines(temp_ / "ErrorLog.txt"); }
    TempFolder temp_;
};

TEST_F(Lifecycle, EveryEndingLeavesTheFixedLinesInOrder) {
    const Lines plain = {"Init GFX", "Init Finalized", "Shut down VLM"};
    const Lines hooked = {"Init GFX", "Init Finalized", "hook ran", "Shut down VLM"};
    struct Case {
        const char* name;
        const SubEntry* hooks;
        std::int32_t debugMode;
        void (*end)();
        Lines log;
    } const cases[] = {
        {"without debug mode a failure is not reported", nullptr, 0, FailOutOfBoundsOnLine41, plain},
        {"debug mode reports code and position",
         nullptr,
         1,
         FailOutOfBoundsOnLine41,
         {"Init GFX", "Init Finalized", "-End On Line", "9", "40", "41", "2", "Shut down VLM"}},
        {"a hook that ends again runs once", kReentrantHook, 0, EndProgram, hooked},
        {"a hook that ends and runs a program runs once", kHookThatRunsAProgram, 0, EndAndRunTrue, hooked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteWholeFile(temp_ / "ErrorLog.txt", "stale\r\n"); // each start begins a fresh log
        EXPECT_EXIT(
            {
                InstallSubRegistry(c.hooks);
                TheStartupSettings().DebugMode = c.debugMode;
                RuntimeStartup(DynString("test"));
                c.end();
            },
            ::testing::ExitedWithCode(0), "");
        EXPECT_EQ(Log(), c.log);
    }
    // The program the hook asked for was started.
    const auto marker = temp_ / "started.txt";
    EXPECT_TRUE(test::WaitUntil([&] { return std::filesystem::exists(marker); }));
    EXPECT_EQ(test::ReadWholeFile(marker), "started\n");
}

TEST_F(Lifecycle, WithoutADisplayTheProgramEndsInOrder) {
    EXPECT_EXIT(
        {
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            ::setenv("SDL_VIDEODRIVER", "x11", 1);
            InstallSubRegistry(kLoggingHook);
            RuntimeStartup(DynString("test"));
            AppendLogLine("went on");
            std::_Exit(1);
        },
        ::testing::ExitedWithCode(0), "cannot open the display window");
    EXPECT_EQ(Log(), (Lines{"Init GFX", "Cannot open the display window", "hook ran", "Shut down VLM"}));
}

TEST(ErrorLog, IsAPrivateFileNeverWrittenThroughALink) {
    TempFolder temp;
    const auto victim = temp / "victim.txt";
    test::WriteWholeFile(victim, "precious");
    std::filesystem::create_symlink(victim, temp / "ErrorLog.txt");
    AppendLogLine("attack");
    EXPECT_EQ(test::ReadWholeFile(victim), "precious");
    // A restart removes the link itself, and logging works again.
    RestartErrorLog();
    AppendLogLine("fine");
    AppendLogLine("");
    EXPECT_EQ(test::ReadWholeFile(victim), "precious");
    EXPECT_EQ(test::ReadWholeFile(temp / "ErrorLog.txt"), "fine\r\n\r\n");
    struct stat info {};
    ASSERT_EQ(::stat((temp / "ErrorLog.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ::unsetenv("TMPDIR");
    EXPECT_EQ(TemporaryFolder(), "/tmp/");
}

TEST(ErrorState, Texts) {
    TheErrorState() = ErrorState{};
    EXPECT_EQ(ErrorText(), "0000 success");
    SetErrorCode(-5);
    EXPECT_EQ(ErrorText(), "-0005 unknown error");
    EXPECT_STREQ(ErrorTextFor(7), "out of memory");
    EXPECT_STREQ(ErrorTextFor(9), "out of bounds");
    EXPECT_STREQ(ErrorTextFor(20), "out of data");
}

} // namespace
} // namespace vlm
