#include "gfx2d/render_surfaces.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

#include "frame/display.h"
#include "frame/gl_extensions.h"
#include "gfx2d/drawing.h"
#include "gfx2d/screen_grab.h"

namespace vlm {

namespace {

bool FramebuffersAvailable() {
    const GlEntryPoints& gl = GlExtensions();
    return gl.GenFramebuffersEXT && gl.GenRenderbuffersEXT && gl.BindRenderbufferEXT &&
           gl.RenderbufferStorageEXT && gl.CheckFramebufferStatusEXT && gl.BindFramebufferEXT &&
           gl.DeleteFramebuffersEXT && gl.DeleteRenderbuffersEXT && gl.FramebufferTexture2DEXT &&
           gl.FramebufferRenderbufferEXT;
}

GLuint BoundFramebuffer() {
    GLint binding = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &binding);
    return static_cast<GLuint>(binding);
}

// Deletes the surface's framebuffer object and depth buffer; the sprite stays.
void DeleteFramebuffer(RenderSurface& surface) {
    const GlEntryPoints& gl = GlExtensions();
    if (surface.framebuffer && gl.DeleteFramebuffersEXT) gl.DeleteFramebuffersEXT(1, &surface.framebuffer);
    if (surface.depthBuffer && gl.DeleteRenderbuffersEXT) gl.DeleteRenderbuffersEXT(1, &surface.depthBuffer);
    surface = RenderSurface{0, 0, 0, 0, 0, surface.sprite};
}

// Points the bound framebuffer object at the texture and the depth buffer.
void Attach(const RenderSurface& surface, std::uint32_t texture) {
    const GlEntryPoints& gl = GlExtensions();
    gl.FramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    if (surface.depthBuffer) {
        gl.FramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                      surface.depthBuffer);
    }
}

// A framebuffer object of w x h with a depth buffer drawing into the
// texture; left unusable (fallback drawing) when the context cannot make one.
void SetUpFramebuffer(RenderSurface& surface, std::uint32_t texture, std::int32_t w, std::int32_t h) {
    DeleteFramebuffer(surface);
    if (!FramebuffersAvailable()) return;
    const GlEntryPoints& gl = GlExtensions();
    gl.GenFramebuffersEXT(1, &surface.framebuffer);
    if (surface.framebuffer == 0) {
        std::puts("glGenFramebuffersExt failed");
        return;
    }
    gl.GenRenderbuffersEXT(1, &surface.depthBuffer);
    if (surface.depthBuffer == 0) {
        std::puts("glGenRenderbuffersExt failed");
        DeleteFramebuffer(surface);
        return;
    }
    gl.BindRenderbufferEXT(GL_RENDERBUFFER_EXT, surface.depthBuffer);
    gl.RenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, w, h);
    gl.BindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);

    // The status tells something only with the attachments in place.
    const GLuint previous = BoundFramebuffer();
    gl.BindFramebufferEXT(GL_FRAMEBUFFER_EXT, surface.framebuffer);
    Attach(surface, texture);
    const GLenum status = gl.CheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    gl.BindFramebufferEXT(GL_FRAMEBUFFER_EXT, previous);
    if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
        std::puts("glCheckFramebufferStatusExt failed");
        DeleteFramebuffer(surface);
        return;
    }
    surface.width = w;
    surface.height = h;
}

// Drawing leaves the current surface: back to the screen's framebuffer, or
// (without one) the borrowed screen area is copied into the surface's sprite
// and given back.
void LeaveSurface(Display& display) {
    OffscreenState& offscreen = display.Offscreen;
    const RenderSurface& surface = offscreen.surfaces[static_cast<std::size_t>(offscreen.current)];
    if (surface.width) {
        GlExtensions().BindFramebufferEXT(GL_FRAMEBUFFER_EXT, surface.previousFramebuffer);
    } else {
        const SpriteRecord& record = display.Sprites.Record(surface.sprite);
        GrabScreen(display, surface.sprite, 0, 0, record.Width, record.Height);
        FillRect(display, 0, 0, record.TexWidth, record.TexHeight, 0);
        DrawSprite(display, kSavedScreenSprite, 0, 0);
    }
    offscreen.current = -1;
    // The screen's view again; the restoring draws go out before any other target is bound.
    SetViewport2D(display, 0, 0, 0, 0);
}

} // namespace

void CreateSurface(Display& display, std::int32_t index, std::int32_t id, std::int32_t w, std::int32_t h) {
    if (index < 0 || index >= kSurfaceCount || !ValidSpriteId(id) || !display.GlReady) return;
    if (w < 1 || h < 1) return;
    // The surface or sprite being drawn into is about to be replaced.
    OffscreenState& offscreen = display.Offscreen;
    if (offscreen.current == index ||
        (offscreen.current >= 0 && offscreen.surfaces[static_cast<std::size_t>(offscreen.current)].sprite == id)) {
        UseSurface(display, -1);
    }
    FlushDrawing(display);
    RenderSurface& surface = offscreen.surfaces[static_cast<std::size_t>(index)];
    DeleteFramebuffer(surface);
    surface.sprite = -1;
    const std::int32_t largest = LargestTextureSide();
    const std::int32_t tw = TextureSide(w, 4, largest), th = TextureSide(h, 4, largest);
    ImageBuffer image;
    if (tw == 0 || th == 0 || !image.Allocate(tw, th)) return;

    SpriteStore& store = display.Sprites;
    store.DeleteSprite(id);
    SpriteRecord& record = store.Record(id);
    const auto size = CreateSpriteTexture(image, 0, 0, 0, 0, &record.Texture, nullptr, false, false);
    if (!size) return;
    record.Width = static_cast<std::int16_t>(w);
    record.Height = static_cast<std::int16_t>(h);
    record.TexWidth = static_cast<std::int16_t>(size->width);
    record.TexHeight = static_cast<std::int16_t>(size->height);
    record.UMax = static_cast<float>(w) / static_cast<float>(size->width);
    record.VMax = static_cast<float>(h) / static_cast<float>(size->height);

    SetUpFramebuffer(surface, record.Texture, size->width, size->height);
    surface.sprite = id;
}

void UseSurface(Display& display, std::int32_t index) {
    if (index >= kSurfaceCount || !display.GlReady) return;
    FlushDrawing(display); // waiting draws belong to the old target
    OffscreenState& offscreen = display.Offscreen;
    if (offscreen.current >= 0) LeaveSurface(display);
    const RenderSurface* surface =
        index >= 0 ? &offscreen.surfaces[static_cast<std::size_t>(index)] : nullptr;
    const SpriteRecord* record =
        surface && surface->sprite >= 0 ? &display.Sprites.Record(surface->sprite) : nullptr;
    // A surface that was never made (or whose sprite is gone) leaves drawing on the screen.
    if (!record || record->Texture == 0 || record->Width <= 0) {
        SetViewport2D(display, 0, 0, 0, 0);
        return;
    }

    offscreen.current = index;
    RenderSurface& target = offscreen.surfaces[static_cast<std::size_t>(index)];
    if (target.width) {
        target.previousFramebuffer = BoundFramebuffer();
        GlExtensions().BindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
        Attach(target, record->Texture);
        SetViewport2D(display, 0, 0, record->Width, record->Height);
        glViewport(0, 0, record->Width, record->Height); // the picture sits at the texture's bottom-left
    } else {
        SetViewport2D(display, 0, 0, record->Width, record->Height);
        GrabScreen(display, kSavedScreenSprite, 0, 0, record->Width, record->Height);
        FillRect(display, 0, 0, record->Width, record->Height, display.Sprites.ColourKey);
        DrawSprite(display, target.sprite, 0, 0);
    }
    display.Sprites.FreeMask(target.sprite); // its picture is about to change
}

void FinishSurface(Display& display) {
    if (display.Offscreen.current >= 0) UseSurface(display, -1);
}

void FreeSurfaces(Display& display) {
    if (!display.GlReady) return;
    FinishSurface(display);
    for (RenderSurface& surface : display.Offscreen.surfaces)
        DeleteFramebuffer(surface);
    // A window made later may have another colour buffer.
    display.Offscreen = OffscreenState{};
}

const RenderSurface* FramebufferSurface(const Display& display) {
    const OffscreenState& offscreen = display.Offscreen;
    if (offscreen.current < 0) return nullptr;
    const RenderSurface& surface = offscreen.surfaces[static_cast<std::size_t>(offscreen.current)];
    return surface.width ? &surface : nullptr;
}

std::int32_t TargetHeight(const Display& display) {
    const RenderSurface* surface = FramebufferSurface(display);
    return surface ? display.Sprites.Record(surface->sprite).Height : display.ScreenHeight;
}

} // namespace vlm
