// hello: the smallest complete Velmora program. A ball bounces to and fro
// under a line of text until Escape is pressed.
#include <velmora.h>

namespace {
constexpr std::int32_t kBall = 1;   // the sprite id the picture is loaded into
constexpr std::int32_t kEscape = 1; // keys are scan codes
constexpr std::int32_t kWidth = 320;
constexpr std::int32_t kHeight = 240;
} // namespace

// Called before the runtime starts: the window and the frame rate.
void StartupSettings() {
    vlm::StartupSettings& settings = vlm::TheStartupSettings();
    settings.WindowWidth = kWidth;
    settings.WindowHeight = kHeight;
    settings.FrameRate = 60;
    settings.Title = "hello";
}

// The program's body, called once the window is open. Names are relative to
// the program's folder, which is the working folder.
void GameMain() {
    vlm::LoadSprite("Media/gfx/ball.png", kBall);
    if (vlm::TheErrorState().LastErrorCode != vlm::kErrorSuccess) {
        vlm::PrintError("hello: cannot load Media/gfx/ball.png (" + vlm::ErrorText() + ")\n");
        vlm::EndProgram();
    }
    std::int32_t width = 0, height = 0;
    vlm::SpriteSize(kBall, width, height);

    std::int32_t x = 0;
    std::int32_t step = 2;
    vlm::SetEscapeQuits(0); // Escape is this loop's to handle, not ShowFrame's
    // One pass per frame: read the input, move, draw, show.
    while (vlm::KeyDown(kEscape) == 0) {
        if (x + step < 0 || x + step > kWidth - width) step = -step;
        x += step;
        vlm::DrawSprite(kBall, x, (kHeight - height) / 2);
        vlm::PrintText("Hello from Velmora! Escape ends.", 8, 8);
        vlm::ShowFrame(); // presents the picture and waits for the next frame
    }
    vlm::EndProgram(); // shuts the runtime down in order; exit code 0
}

// Routines the runtime finds by name ("VLM_ON_QUIT", "VLM_WIN32_MSG"); none here.
extern const vlm::SubEntry SubRegistry[] = {{nullptr, nullptr}};
