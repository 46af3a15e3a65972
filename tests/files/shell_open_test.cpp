#include "files/shell_open.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "frame/error_log.h"
#include "frame/sub_registry.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

namespace vlm {
namespace {

using test::ReadLogLines;
using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

void LogQuit() { AppendLogLine("quit hook"); }
const SubEntry kHooks[] = {{LogQuit, "VLM_ON_QUIT"}, {nullptr, nullptr}};

TEST(ShellOpenDeathTest, RunsTheHookShutsDownThenStartsTheOpener) {
    TempFolder temp;
    // A stand-in opener that records the arguments it was given.
    const auto opener = temp / "xdg-open";
    WriteWholeFile(opener, "#!/bin/sh\nprintf '%s|' \"$@\" > \"" + (temp / "opened.tmp").string() + "\"\n" +
                               "mv \"" + (temp / "opened.tmp").string() + "\" \"" + (temp / "opened").string() +
                               "\"\n");
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
