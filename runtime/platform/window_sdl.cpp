#include "platform/window.h"

#include <SDL.h>
#include <cstdio>

namespace vlm::platform {

bool InitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Programs poll the joystick and read key states themselves; nothing
    // should be grabbed or minimised behind their back.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Velmora: no video: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

namespace {

SDL_Window* OpenWindow(std::string_view title, int width, int height, int samples) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 0 ? samples : 0);
    const std::string text(title);
    return SDL_CreateWindow(text.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

} // namespace

std::unique_ptr<GlWindow> GlWindow::Create(std::string_view title, int width, int height, int samples) {
    if (!InitVideo()) return nullptr;
    SDL_Window* window = nullptr;
    // Halve the sample count until the system accepts one, as the
    // multisample format search does; 0 always works where GL does.
    for (int s = samples; !window; s /= 2) {
        window = OpenWindow(title, width, height, s);
        if (s == 0) break;
    }
    if (!window) return nullptr;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        SDL_DestroyWindow(window);
        return nullptr;
    }
    return std::unique_ptr<GlWindow>(new GlWindow(window, context));
}

GlWindow::~GlWindow() {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
    SDL_DestroyWindow(window_);
}

std::uint32_t GlWindow::Id() const {
    return SDL_GetWindowID(window_);
}
bool GlWindow::MakeCurrent() {
    return SDL_GL_MakeCurrent(window_, context_) == 0;
}
void GlWindow::SwapBuffers() {
    SDL_GL_SwapWindow(window_);
}

void GlWindow::SetTitle(std::string_view title) {
    const std::string text(title);
    SDL_SetWindowTitle(window_, text.c_str());
}

std::string GlWindow::Title() const {
    return SDL_GetWindowTitle(window_);
}
void GlWindow::Show() {
    SDL_ShowWindow(window_);
}
void GlWindow::Hide() {
    SDL_HideWindow(window_);
}

void GlWindow::Raise() {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
}

bool GlWindow::IsShown() const {
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
}
bool GlWindow::HasInputFocus() const {
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void GlWindow::EnterWindowed(int width, int height, bool centre) {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, width, height);
    if (centre) SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

bool GlWindow::EnterFullScreen(int width, int height) {
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    SDL_DisplayMode closest{};
    const int screen = SDL_GetWindowDisplayIndex(window_);
    // Only a mode of exactly the drawing size keeps pixels square and
    // unscaled; anything else counts as no full-screen mode.
    if (screen < 0 || !SDL_GetClosestDisplayMode(screen, &wanted, &closest) || closest.w != width ||
        closest.h != height) {
        return false;
    }
    SDL_SetWindowSize(window_, width, height);
    if (SDL_SetWindowDisplayMode(window_, &closest) != 0) return false;
    return SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0;
}

void GlWindow::ClientSize(int& width, int& height) const {
    SDL_GetWindowSize(window_, &width, &height);
}

int DesktopBitsPerPixel() {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
    return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
}

void* GlProcAddress(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

void ShowWarningBox(std::string_view caption, std::string_view text) {
    const std::string c(caption), t(text);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, c.c_str(), t.c_str(), nullptr);
}

void Beep() {
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

void KeepScreenOn() {
    SDL_DisableScreenSaver();
}

} // namespace vlm::platform
