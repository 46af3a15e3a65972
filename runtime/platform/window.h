// The window with its OpenGL compatibility context. The client area is
// exactly the drawing size; full screen changes the display mode where the
// system allows it. The context lives as long as the window object, so
// textures survive every switch between windowed and full screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct SDL_Window;

namespace vlm::platform {

// Starts the video layer once per process; false when there is no display.
bool InitVideo();

class GlWindow {
  public:
    // Null when the window or its context cannot be made. A positive sample
    // count asks for a multisampled buffer and falls back to none.
    static std::unique_ptr<GlWindow> Create(std::string_view title, int width, int height, int samples);
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    std::uint32_t Id() const;
    bool MakeCurrent();
    void SwapBuffers();
    void SetTitle(std::string_view title);
    std::string Title() const;
    void Show();
    void Hide();
    void Raise(); // to the top, with the input focus
    bool IsShown() const;
    bool HasInputFocus() const;
    // Windowed at this client size, centred when `centre` is set.
    void EnterWindowed(int width, int height, bool centre);
    // Full screen with a display mode of this size (exclusive) when the
    // system offers one; false when no full-screen mode could be set.
    bool EnterFullScreen(int width, int height);
    void ClientSize(int& width, int& height) const;
    SDL_Window* Native() const { return window_; } // for the platform layer's other parts

  private:
    GlWindow(SDL_Window* window, void* context) : window_(window), context_(context) {}
    SDL_Window* window_;
    void* context_;
};

// Bits per pixel of the desktop's current mode (24 when unknown).
int DesktopBitsPerPixel();
// An OpenGL entry point of the current context by name, or null.
void* GlProcAddress(const char* name);
// A modal message box with an OK button and the warning icon (UTF-8 texts).
void ShowWarningBox(std::string_view caption, std::string_view text);
// The exclamation beep.
void Beep();
// Keeps the screen saver and monitor power-off away while the program runs.
void KeepScreenOn();

} // namespace vlm::platform
