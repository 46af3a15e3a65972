// Splosh: the program's entry points for the runtime.
#include "files/platform_info.h"
#include "frame/display.h"
#include "frame/frame_loop.h"
#include "frame/lifecycle.h"
#include "frame/startup_settings.h"
#include "frame/sub_registry.h"
#include "game/globals.h"
#include "game/high_scores.h"
#include "game/media.h"
#include "game/name_entry.h"
#include "game/title_screen.h"
#include "input/input_devices.h"

void StartupSettings() {
    vlm::StartupSettings& s = vlm::TheStartupSettings();
    s.WindowWidth = 640;
    s.WindowHeight = 480;
    s.FrameRate = 60;
    s.FullScreen = 0;
    s.Multisample = 0;
    s.DebugMode = 0;
    s.HidePointer = 1;
    s.Title = "splosh";
    vlm::SetBuildStamp(__DATE__, __TIME__);
}

void GameMain() {
    splosh::GameGlobals& game = splosh::TheGame();
    splosh::EnterMediaFolder();
    vlm::SetFrameRateLimit(60);
    vlm::ShowMousePointer(1);
    vlm::DynString key("device");
    game.DeviceName = vlm::PlatformInfo(key);
    if (game.DeviceName == "DESKTOP") {
        vlm::SetScreenSize(640, 480, 0);
        game.DisplayScale = 2;
    } else {
        vlm::SetScreenSize(320, 240, 0);
    }
    splosh::CreateGameArrays(game);
    splosh::FillDefaultHighScores(game);
    splosh::StartHighScores(game);
    splosh::LoadGameSprites();
    // The title runs the play screen. A lost game left with a score better
    // than the tenth earns a name in the table, and then a new game.
    for (;;) {
        splosh::TitleScreen(game);
        if (!(game.Score > game.HighScoreValues.At(10))) break;
        splosh::NameEntryScreen(game);
        game.Level = 1;
        game.Score = 0;
    }
    vlm::EndProgram();
}

extern const vlm::SubEntry SubRegistry[] = {{nullptr, nullptr}};
