// Splosh: the program's entry points for the runtime.
#include "frame/lifecycle.h"
#include "frame/startup_settings.h"
#include "frame/sub_registry.h"
#include "game/globals.h"

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
}

// For now the game only sets up its state; the screens come later.
void GameMain() {
    splosh::GameGlobals& game = splosh::TheGame();
    splosh::CreateGameArrays(game);
    splosh::FillDefaultHighScores(game);
    vlm::EndProgram();
}

extern const vlm::SubEntry SubRegistry[] = {{nullptr, nullptr}};
