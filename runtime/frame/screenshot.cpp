#include "frame/screenshot.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "frame/display.h"
#include "frame/gl_extensions.h"

namespace vlm {

ScreenPicture ReadBackBuffer(const Display& display) {
    ScreenPicture picture;
    picture.Width = display.ScreenWidth;
    picture.Height = display.ScreenHeight;
    if (picture.Width <= 0 || picture.Height <= 0) return picture;
    picture.Bgr.resize(static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height) *
                       3);
    // The screen is read even while a surface's framebuffer object is bound.
    const RenderSurface* surface = FramebufferSurface(display);
    const GlEntryPoints& gl = GlExtensions();
    if (surface) gl.BindFramebufferEXT(GL_FRAMEBUFFER_EXT, surface->previousFramebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, picture.Width, picture.Height, GL_BGR, GL_UNSIGNED_BYTE, picture.Bgr.data());
    if (surface) gl.BindFramebufferEXT(GL_FRAMEBUFFER_EXT, surface->framebuffer);
    return picture;
}

bool SaveFramePicture(const Display& display, std::string_view name) {
    return WriteScreenPicture(name, ReadBackBuffer(display), std::nullopt);
}

} // namespace vlm
