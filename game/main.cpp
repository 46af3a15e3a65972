// Splosh: the program's entry points for the runtime.
#include <cstdio>

#include "files/platform_info.h"
#include "frame/display.h"
#include "frame/frame_loop.h"
#include "frame/lifecycle.h"
#include "frame/startup_settings.h"
#include "frame/sub_registry.h"
#include "game/globals.h"
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

// The game's set-up up to its screens, which are not written yet.
void GameMain() {
    splosh::GameGlobals& game = splosh::TheGame();
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
    std::puts("Splosh: the title and play screens are not written yet; the game ends here.");
    vlm::EndProgram();
}

extern const vlm::SubEntry SubRegistry[] = {{nullptr, nullptr}};
