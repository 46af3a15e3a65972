#include "game/name_entry.h"

#include "frame/frame_loop.h"
#include "game/high_scores.h"
#include "game/play_screen.h"
#include "gfx2d/sprites.h"
#include "input/input_devices.h"

namespace splosh {

namespace {

constexpr int kKeyEscape = 1, kKeyTab = 15, kKeyW = 17, kKeyA = 30, kKeyS = 31, kKeyD = 32;
constexpr int kKeyLeft = 203, kKeyRight = 205;
constexpr double kRemovePosition = 29;
constexpr double kFinishPosition = 30;
constexpr std::uint32_t kMaxNameLength = 3;
constexpr double kStartDelay = 20;
constexpr double kCursorDelay = 5;
constexpr double kTypeDelay = 20;

bool Held(int scanCode) { return vlm::KeyDown(scanCode) != 0; }

// Texts in the runtime's own 8 x 8 font, for which the places are laid out.
void DrawEntry(const GameGlobals& game) {
    const double cursorX = game.EntryCursor * 8 + 40;
    vlm::PrintText("CONGRATULATIONS!", 99, 10);
    vlm::PrintText("YOU HAVE ACHIEVED A NEW HIGH SCORE", 25, 30);
    vlm::PrintText("PLEASE ENTER YOUR NAME", 73, 50);
    vlm::PrintText(kEntryAlphabet, 40, 100);
    vlm::PrintText(std::string_view(kEntryAlphabet).substr(static_cast<std::size_t>(game.EntryCursor), 1), cursorX,
                   100);
    vlm::PrintText("_", cursorX, 105);
    vlm::PrintText("___", 150, 123);
    const std::uint32_t length = game.EnteredName.length();
    if (length < kMaxNameLength) vlm::PrintText("_", length * 8.0 + 150, 125);
    vlm::PrintText(game.EnteredName, 150, 120);
}

// One frame's keys; true when the entry is finished.
bool StepEntry(GameGlobals& game, double& repeatGuard) {
    bool finished = Held(kKeyEscape);
    if (Held(kKeyLeft) && game.EntryCursor > 0 && game.EntryDelay == 0) {
        game.EntryCursor -= 1;
        game.EntryDelay = kCursorDelay;
    }
    if (Held(kKeyRight) && game.EntryCursor < kFinishPosition && game.EntryDelay == 0) {
        game.EntryCursor += 1;
        game.EntryDelay = kCursorDelay;
    }
    const bool typed = Held(kKeyTab) || Held(kKeyW) || Held(kKeyA) || Held(kKeyS) || Held(kKeyD);
    if (typed && game.EntryDelay == 0 && repeatGuard == 0) {
        vlm::DynString& name = game.EnteredName;
        if (game.EntryCursor < kRemovePosition) {
            name += std::string_view(kEntryAlphabet).substr(static_cast<std::size_t>(game.EntryCursor), 1);
        } else if (game.EntryCursor == kRemovePosition) {
            if (!name.empty()) name.Truncate(name.length() - 1);
        } else {
            finished = true;
        }
        if (name.length() > 2) game.EntryCursor = kFinishPosition;
        game.EntryDelay = repeatGuard = kTypeDelay;
    }
    if (game.EnteredName.length() > kMaxNameLength) game.EnteredName.Truncate(game.EnteredName.length() - 1);
    if (game.EntryDelay > 0) game.EntryDelay -= 1;
    if (repeatGuard > 0) repeatGuard -= 1;
    return finished;
}

} // namespace

void NameEntryScreen(GameGlobals& game) {
    vlm::SetEscapeQuits(0);
    game.EnteredName.Clear();
    game.EntryCursor = 0;
    game.EntryDelay = kStartDelay;
    double repeatGuard = 0;
    for (bool finished = false; !finished;) {
        DrawEntry(game);
        finished = StepEntry(game, repeatGuard);
        UpscaleAndShow(game);
    }
    EnterHighScore(game, game.EnteredName);
    SaveHighScores(game);
    while (Held(kKeyEscape)) {
        DrawEntry(game);
        UpscaleAndShow(game);
    }
    vlm::SetEscapeQuits(1);
}

} // namespace splosh
