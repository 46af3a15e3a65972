#include <gtest/gtest.h>

#include "game/media.h"
#include "game/title_screen.h"
#include "support/temp_folder.h"

namespace splosh {
namespace {

TEST(TitleCycle, PromptBlinksNineteenOfFortyOneFramesAndTheTableShowsFromFrame200To401) {
    TitleCycle cycle;
    std::string prompt, table;
    for (int frame = 1; frame <= 2 * 401; ++frame) {
        const TitleCycle::Frame f = cycle.Advance();
        prompt += f.Prompt ? '#' : '.';
        table += f.Table ? '#' : '.';
    }
    const std::string blink = std::string(19, '#') + std::string(22, '.');
    EXPECT_EQ(prompt.substr(0, 41), blink);
    EXPECT_EQ(prompt.substr(164, 41), blink);
    EXPECT_EQ(prompt.find('#', 199), 401u + 21) << "hidden during the table and 21 frames after it";
    EXPECT_EQ(table.substr(0, 401), std::string(199, '.') + std::string(202, '#'));
    EXPECT_EQ(table.substr(401), table.substr(0, 401)) << "the cycle repeats every 401 frames";
}

// An installed game finds its media in share/splosh (the install test plays
// one); media beside the program come first.
TEST(MediaFolder, MediaBesideTheProgramComeBeforeAnInstalledShare) {
    vlm::test::TempFolder temp;
    std::filesystem::create_directories(temp / "bin/Media");
    std::filesystem::create_directories(temp / "share/splosh/Media");
    vlm::test::WorkingFolder bin(temp / "bin");
    EnterMediaFolder();
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(temp / "bin"));
}

} // namespace
} // namespace splosh
