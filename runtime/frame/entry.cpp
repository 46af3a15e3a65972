// The process entry. A program written against the runtime defines
// StartupSettings, GameMain and its SubRegistry; the runtime owns main.
#include "frame/lifecycle.h"
#include "frame/sub_registry.h"

void StartupSettings();
void GameMain();
extern const vlm::SubEntry SubRegistry[];

int main(int argc, char** argv) { vlm::RuntimeMain(argc, argv, {StartupSettings, GameMain, SubRegistry}); }
