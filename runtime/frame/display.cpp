#include "frame/display.h"

#include <GL/gl.h>

#include <climits>

#include "frame/clock.h"
#include "frame/gl_extensions.h"
#include "frame/software_renderer.h"
#include "gfx2d/drawing.h"
#include "platform/window.h"

namespace vlm {

namespace {

std::unique_ptr<Display> theDisplay;

// A window needs some size; a program that asks for none gets the size the
// game uses on the desktop.
constexpr std::int32_t kDefaultWidth = 640;
constexpr std::int32_t kDefaultHeight = 480;

} // namespace

OpenGLGlimmer::~OpenGLGlimmer() {
    if (WindowHandle) DestroyDisplayWindow(*this);
}

Display* TheDisplay() {
    return theDisplay.get();
}

Display& CreateTheDisplay() {
    theDisplay.reset(); // the old window goes before the new one is made
    theDisplay = std::make_unique<Display>();
    return *theDisplay;
}

void DestroyTheDisplay() {
    theDisplay.reset();
}

std::int32_t FrameCapForInterval(double frameInterval) {
    if (frameInterval <= 0) return 5;
    // Rounded, not truncated: 1000 / (1000 / 60) comes out just below 60.
    const double cap = 1000.0 / frameInterval + 0.5;
    return cap >= INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(cap);
}

bool CreateDisplayWindow(Display& display, std::int32_t width, std::int32_t height, std::int32_t colourDepth,
                         std::int32_t frameCap, std::int32_t multisample, bool /*fullScreen*/) {
    display.FrameInterval = frameCap > 0 ? 1000.0 / frameCap : 2.0;
    display.MultisampleLevel = multisample;
    if (width < 1) width = kDefaultWidth;
    if (height < 1) height = kDefaultHeight;

    // A window being replaced goes first, so only one exists at a time.
    display.WindowHandle.reset();
    display.WindowHandle = platform::GlWindow::Create("Velmora", width, height, multisample);
    if (!display.WindowHandle) return false;
    if (!display.WindowHandle->MakeCurrent()) {
        display.WindowHandle.reset();
        return false;
    }
    display.ColourDepth = colourDepth != 0 ? colourDepth : platform::DesktopBitsPerPixel();
    display.ScreenWidth = width;
    display.ScreenHeight = height;
    display.FullScreenActive = false;
    display.MultisampleLevel = 0;

    WarnAboutSoftwareRenderer();

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    display.NextFrameTime = MillisecondsNow();
    LoadGlEntryPoints();

    display.WindowHandle->Show();
    SetViewport2D(display, 0, 0, 0, 0);
    display.GlReady = true;
    return true;
}

void DestroyDisplayWindow(Display& display) {
    // Surfaces, sprite textures and background slots are released here,
    // while the context is still current.
    FreeSurfaces(display);
    DiscardDrawing(display);
    display.Sprites.DeleteAllSprites();
    DiscardAllBackgrounds(display);
    if (display.WindowHandle) {
        EnterWindowed(display);
        display.WindowHandle.reset(); // detaches and deletes the context too
    }
    display.GlReady = false;
    display.ScreenWidth = 0;
    display.ScreenHeight = 0;
}

void SetViewport2D(Display& display, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height) {
    FlushDrawing(display); // waiting draws belong to the old view
    if (width < 1 || height < 1) {
        width = display.ScreenWidth;
        height = display.ScreenHeight;
    }
    display.ViewX = x;
    display.ViewY = y;
    display.ViewWidth = width;
    display.ViewHeight = height;

    glViewport(x, display.ScreenHeight - y - height, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // One unit per pixel, y growing downwards.
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    glClearColor(0, 0, 0, 1);
    for (const GLenum off :
         {GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_STENCIL_TEST, GL_NORMALIZE, GL_LIGHTING,
          GL_COLOR_MATERIAL, GL_DITHER, GL_POLYGON_SMOOTH, GL_POLYGON_OFFSET_POINT, GL_AUTO_NORMAL}) {
        glDisable(off);
    }
    glShadeModel(GL_FLAT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);

    // The 2D drawing state starts over with the view.
    ResetDrawingState(display);
}

} // namespace vlm
