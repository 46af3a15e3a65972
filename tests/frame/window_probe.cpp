// A small program against the runtime that the window tests drive from
// outside. It draws a square at the pointer (red, green while the left
// button is down) and reports to the file named by PROBE_REPORT, in lines
// ending "\r\n" as the log's do: one line per frame with what it read, the
// message numbers its hook saw (each once), and "quit" from its quit hook.
//
// PROBE_RESIZE=1: after frame 5 it calls SetScreenSize(400, 300, 0).
// PROBE_FULL=1: after frame 5 it calls SetScreenSize(1024, 768, 1).
// PROBE_DEBUG=1: starts in debug mode (no pause on focus loss).
// PROBE_HIDDEN=1: starts with the pointer hidden (relative mouse).
// PROBE_TYPE=1: reads typed characters, "typed N" (the byte) for each.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "frame/display.h"
#include "frame/frame_loop.h"
#include "frame/startup_settings.h"
#include "frame/window_procedure.h"
#include "gfx2d/sprites.h"
#include "input/input_devices.h"
#include "input/key_text.h"

namespace {

void Say(const std::string& line) {
    static const char* path = std::getenv("PROBE_REPORT");
    static std::FILE* report = std::fopen(path ? path : "/dev/null", "a");
    std::fprintf(report, "%s\r\n", line.c_str());
    std::fflush(report);
}

void OnMessage(const vlm::WindowMessage* message) {
    static std::set<std::uint32_t> seen;
    if (seen.insert(message->Message).second) {
        char text[32];
        std::snprintf(text, sizeof text, "msg 0x%04x", static_cast<unsigned>(message->Message));
        Say(text);
    }
}

void OnQuit() { Say("quit"); }

} // namespace

void StartupSettings() {
    vlm::StartupSettings& s = vlm::TheStartupSettings();
    s.WindowWidth = 320;
    s.WindowHeight = 240;
    s.FrameRate = 60;
    s.HidePointer = std::getenv("PROBE_HIDDEN") ? 1 : 0;
    s.DebugMode = std::getenv("PROBE_DEBUG") ? 1 : 0;
    s.Title = "probe";
}

void GameMain() {
    const bool resize = std::getenv("PROBE_RESIZE") != nullptr;
    const bool full = std::getenv("PROBE_FULL") != nullptr;
    const bool typing = std::getenv("PROBE_TYPE") != nullptr;
    for (int frame = 1;; ++frame) {
        std::int32_t x, y, left, right;
        vlm::ReadMouse(x, y, left, right);
        std::string keys;
        for (int code = 1; code < 256; ++code) {
            if (vlm::KeyDown(code)) keys += " " + std::to_string(code);
        }
        const vlm::Display& display = *vlm::TheDisplay();
        Say("frame " + std::to_string(frame) + " size " + std::to_string(display.ScreenWidth) + "x" +
            std::to_string(display.ScreenHeight) + " mouse " + std::to_string(x) + " " + std::to_string(y) + " " +
            std::to_string(left) + " " + std::to_string(right) + " keys" + keys);
        if (typing) {
            const vlm::DynString typed = vlm::ReadKeyChar();
            if (!typed.empty()) Say("typed " + std::to_string(static_cast<unsigned char>(typed[0])));
        }
        vlm::FillRect(x - 4, y - 4, 8, 8, left ? 0x00FF00 : 0x0000FF);
        if (resize && frame == 5) vlm::SetScreenSize(400, 300, 0);
        if (full && frame == 5) vlm::SetScreenSize(1024, 768, 1);
        vlm::ShowFrame();
    }
}

extern const vlm::SubEntry SubRegistry[] = {
    {reinterpret_cast<vlm::SubRoutine>(&OnMessage), "VLM_WIN32_MSG"},
    {OnQuit, "VLM_ON_QUIT"},
    {nullptr, nullptr},
};
