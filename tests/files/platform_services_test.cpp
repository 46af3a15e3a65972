// Platform queries, debug output, calls by name, the console and shell open.
#include "files/debug_services.h"
#include "files/platform_info.h"
#include "files/shell_open.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <sys/ptrace.h>
#include <unistd.h>

#include "files/error_state.h"
#include "frame/error_log.h"
#include "frame/sub_registry.h"
#include "platform/system_info.h"
#include "support/program_end.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

namespace vlm {
namespace {

using test::ReadLogLines;
using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

// Sets an environment variable (null: unsets it) for one test and puts the old value back.
struct ScopedEnv {
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* now = std::getenv(name)) old = now;
        Set(value);
    }
    ~ScopedEnv() { Set(old ? old->c_str() : nullptr); }
    void Set(const char* value) const { value ? ::setenv(name, value, 1) : ::unsetenv(name); }
    const char* name;
    std::optional<std::string> old;
};

DynString Ask(const char* key) {
    DynString text(key);
    return PlatformInfo(text);
}

TEST(PlatformInfo, FixedAnswersForTheCallersKeyUpperCased) {
    DynString key("device");
    EXPECT_EQ(PlatformInfo(key), "DESKTOP");
    EXPECT_EQ(key, "DEVICE");
    EXPECT_EQ(Ask(""), "WIN32");
    EXPECT_EQ(Ask("Device "), "NO_DATA");
    const DynString host = Ask("hostid");
    ASSERT_EQ(host.length(), 8u);
    EXPECT_EQ(host.view().find_first_not_of("0123456789abcdef"), std::string_view::npos);
    SetBuildStamp("Mar  5 2009", "07:04:09");
    EXPECT_EQ(Ask("compiled"), "Mar  5 2009-07:04:09");
}

TEST(PlatformInfo, LocalTime) {
    ScopedEnv zone("TZ", "UTC");
    ::tzset();
    EXPECT_EQ(LocalTimeText(1236236649), "2009-03-05 07:04:09");
    EXPECT_EQ(Ask("time").length(), 19u);
}

TEST(PlatformInfo, LocaleNamesMapToLanguageIdsAndTheTableToCodes) {
    using Locale = std::pair<const char*, int>;
    for (const auto& [locale, id] : {Locale{"de_AT", 0x0c07}, Locale{"en_US.UTF-8", 0x0409}, Locale{"en_GB", 0x0809},
                                     Locale{"fr_CA.UTF-8@euro", 0x0c0c}, Locale{"zh_CN.GB2312", 0x0804},
                                     Locale{"sr_RS", 0x081a}, Locale{"ja", 0x0411}, Locale{"POSIX", 0}, Locale{"", 0}})
        EXPECT_EQ(LanguageIdFromLocale(locale), id) << locale;
    // The table's own answers, "uk" for US English among them.
    using Code = std::pair<int, const char*>;
    for (const auto& [id, code] :
         {Code{0x0409, "uk"}, Code{0x0809, "us"}, Code{0x0408, "gr"}, Code{0x0404, "ch"}, Code{0x0804, "ch"},
          Code{0x0c04, "zh"}, Code{0x1404, "zh"}, Code{0x0422, "uk"}, Code{0x7777, "us"}})
        EXPECT_EQ(LocaleCode(id), code) << id;
}

TEST(PlatformInfo, LocaleFollowsTheUsersSettingsInOrder) {
    ScopedEnv all("LC_ALL", "de_DE.UTF-8");
    ScopedEnv messages("LC_MESSAGES", "fr_FR.UTF-8");
    ScopedEnv lang("LANG", "ja_JP.UTF-8");
    EXPECT_EQ(Ask("locale"), "de");
    {
        ScopedEnv noAll("LC_ALL", "");
        EXPECT_EQ(Ask("locale"), "fr");
        ScopedEnv noMessages("LC_MESSAGES", nullptr);
        EXPECT_EQ(Ask("locale"), "jp");
        ScopedEnv plain("LANG", "C.UTF-8");
        EXPECT_EQ(Ask("locale"), "us");
    }
}

TEST(PlatformInfo, MachineIdentity) {
    TempFolder temp;
    WriteWholeFile(temp / "machine-id", "00000001000000020000000400000008\n");
    EXPECT_EQ(platform::MachineIdentity(temp / "machine-id"), 0xFu);
    WriteWholeFile(temp / "bad-id", "not an identity at all, not hex!\n");
    EXPECT_FALSE(platform::MachineIdentity(temp / "bad-id"));
    EXPECT_FALSE(platform::MachineIdentity(temp / "missing"));
    // 0xF combined with the mask 0x5A17C0DE, lowest byte first.
    EXPECT_EQ(MachineIdText(0xF), "D1C0175A");
    const DynString id = Ask("id");
    ASSERT_EQ(id.length(), 8u);
    EXPECT_EQ(id.view().find_first_not_of("0123456789ABCDEF"), std::string_view::npos);
}

TEST(PlatformInfo, BatteryFromPowerSupplies) {
    TempFolder temp;
    std::filesystem::create_directories(temp / "AC");
    WriteWholeFile(temp / "AC" / "type", "Mains\n");
    EXPECT_FALSE(platform::BatteryPercent(temp.path()));
    std::filesystem::create_directories(temp / "BAT0");
    WriteWholeFile(temp / "BAT0" / "type", "Battery\n");
    WriteWholeFile(temp / "BAT0" / "capacity", "87\n");
    EXPECT_EQ(platform::BatteryPercent(temp.path()), 87);
    EXPECT_FALSE(platform::BatteryPercent(temp / "nothing"));
    // This machine's answer: its battery's charge, or 255 for none.
    const auto here = platform::BatteryPercent();
    EXPECT_EQ(Ask("battery"), DynString(here ? std::to_string(*here) : "255"));
}

TEST(PlatformInfo, DocumentsFolder) {
    TempFolder temp;
    std::filesystem::create_directories(temp / "home" / "Papers");
    ScopedEnv home("HOME", (temp / "home").c_str());
    ScopedEnv config("XDG_CONFIG_HOME", (temp / "config").c_str());
    EXPECT_EQ(Ask("documents"), "NO_DATA");
    std::filesystem::create_directories(temp / "config");
    WriteWholeFile(temp / "config" / "user-dirs.dirs", "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(Ask("documents"), DynString((temp / "home" / "Papers").string()));
    WriteWholeFile(temp / "config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(Ask("documents"), "NO_DATA");
}

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

TEST(DebugServicesDeathTest, OutputReachesOnlyAnAttachedDebuggerAndAFailedAssertionEnds) {
    EXPECT_EXIT(RunInChild(Hello, true), ::testing::ExitedWithCode(0), "^TXhello\n$");
    EXPECT_EXIT(RunInChild(Hello, false), ::testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(RunInChild(CallMissingRoutines, true), ::testing::ExitedWithCode(0),
                "^TXCALLBYNAME \"Nowhere\" \\*\\*\\* failed \\*\\*\\*\n$");
    EXPECT_EXIT(RunInChild(FailAnAssertion, true), ::testing::ExitedWithCode(0), "^TXAssertion: Value = 0\n$");
    TempFolder temp; // for the log of the ended child
    Assertion(1);
    EXPECT_ENDS_WITH_CODE(Assertion(0), 21);
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

TEST(ConsoleDeathTest, PrintsTextAsItStandsAndReadsOneLineWithoutItsLineFeed) {
    testing::internal::CaptureStdout();
    PrintOut(DynString("100% done\n"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "100% done\n");
    testing::internal::CaptureStderr();
    PrintError(DynString("%s%d"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "%s%d");
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

void LogQuit() { AppendLogLine("quit hook"); }
const SubEntry kHooks[] = {{LogQuit, "VLM_ON_QUIT"}, {nullptr, nullptr}};

TEST(ShellOpenDeathTest, RunsTheHookShutsDownThenStartsTheOpener) {
    TempFolder temp;
    // A stand-in opener that records the arguments it was given.
    const auto opener = temp / "xdg-open";
    WriteWholeFile(opener, "#!/bin/sh\nprintf '%s|' \"$@\" > \"" + (temp / "opened.tmp").string() + "\"\n" + "mv \"" +
                               (temp / "opened.tmp").string() + "\" \"" + (temp / "opened").string() + "\"\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const std::string path = temp.path().string() + ":" + std::getenv("PATH");
    EXPECT_EXIT(
        {
            ::setenv("PATH", path.c_str(), 1);
            InstallSubRegistry(kHooks);
            ShellOpen(DynString("http://example.com/a b;$(touch pwned)"));
        },
        ::testing::ExitedWithCode(0), "");
    test::WaitUntil([&] { return std::filesystem::exists(temp / "opened"); });
    EXPECT_EQ(ReadWholeFile(temp / "opened"), "http://example.com/a b;$(touch pwned)|");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "pwned"));
    EXPECT_EQ(ReadLogLines(temp / "ErrorLog.txt"), (std::vector<std::string>{"quit hook", "Shut down VLM"}));
}

} // namespace
} // namespace vlm
