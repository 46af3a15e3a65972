#include "input/input_script.h"

#include <gtest/gtest.h>

namespace vlm {
namespace {

TEST(InputScript, ReadsEveryEventKindSortedByFrameKeepingTheOrderWithinAFrame) {
    const ScriptParseResult r = ParseInputScript(std::string_view("# a session\n"
                                                                  "10 end\n"
                                                                  "3 move 100 -20\r\n"
                                                                  "\n"
                                                                  "  4 down 1\n"
                                                                  "5 up 3\n"
                                                                  "6 wheel -2\n"
                                                                  "7 keydown 200\n"
                                                                  "7 keyup 1\n"
                                                                  "9 shot pictures/end state.png "));
    ASSERT_EQ(r.Error, "");
    const std::vector<ScriptEvent> expected = {
        {3, ScriptAction::Move, 100, -20, {}},
        {4, ScriptAction::ButtonDown, 1, 0, {}},
        {5, ScriptAction::ButtonUp, 3, 0, {}},
        {6, ScriptAction::Wheel, -2, 0, {}},
        {7, ScriptAction::KeyDown, 200, 0, {}},
        {7, ScriptAction::KeyUp, 1, 0, {}},
        {9, ScriptAction::Shot, 0, 0, "pictures/end state.png"},
        {10, ScriptAction::End, 0, 0, {}},
    };
    EXPECT_EQ(r.Events, expected);
    EXPECT_EQ(FormatScriptEvent(expected[6]), "9 shot pictures/end state.png"); // recordings format the others
}

TEST(InputScript, RejectsBadLinesWithTheirNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"x move 1 2", "line 1: frame number expected"},
        {"\n1 jump", "line 2: unknown event \"jump\""},
        {"1 move 1", "line 1: move needs x and y"},
        {"1 down 4", "line 1: button 1, 2 or 3 expected"},
        {"1 keydown 256", "line 1: scan code 0..255 expected"},
        {"1 keydown -1", "line 1: scan code 0..255 expected"},
        {"1 shot", "line 1: shot needs a file name"},
        {"1 end now", "line 1: unexpected text after the event"},
        {"-1 end", "line 1: frame number expected"},
        {"99999999999 end", "line 1: frame number expected"},
        {"1 wheel 1x", "line 1: wheel steps expected"},
    };
    for (const auto& [text, error] : cases) {
        const ScriptParseResult r = ParseInputScript(std::string_view(text));
        EXPECT_EQ(r.Error, error) << text;
        EXPECT_TRUE(r.Events.empty()) << text;
    }
}

} // namespace
} // namespace vlm
