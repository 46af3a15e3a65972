#include "gfx2d/screen_grab.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "frame/display.h"
#include "frame/screenshot.h"
#include "gfx2d/drawing.h"

namespace vlm {

namespace {

// Grab textures are powers of two of at least 32 texels a side.
constexpr std::int32_t kSmallestGrabSide = 32;

// Gives sprite id a texture for a w x h grab (the old one when its size
// fits), bound, and the record of the grabbed picture.
bool PrepareGrabTexture(Display& display, std::int32_t id, std::int32_t w, std::int32_t h) {
    if (!display.GlReady || !ValidSpriteId(id) || w < 1 || h < 1) return false;
    const std::int32_t largest = LargestTextureSide();
    const std::int32_t tw = TextureSide(w, kSmallestGrabSide, largest);
    const std::int32_t th = TextureSide(h, kSmallestGrabSide, largest);
    if (tw == 0 || th == 0) return false;
    FlushDrawing(display); // waiting draws may still use the sprite's texture

    SpriteStore& store = display.Sprites;
    SpriteRecord& record = store.Record(id);
    record.FrameWidth = record.FrameHeight = 0;
    store.FreeMask(id);
    if (record.Texture != 0 && record.TexWidth == tw && record.TexHeight == th) {
        glBindTexture(GL_TEXTURE_2D, record.Texture);
    } else {
        store.DeleteSprite(id); // a grabbed picture has no mipmapped copy
        CreateCopyTexture(&record.Texture, tw, th);
    }
    record.Width = static_cast<std::int16_t>(w);
    record.Height = static_cast<std::int16_t>(h);
    record.TexWidth = static_cast<std::int16_t>(tw);
    record.TexHeight = static_cast<std::int16_t>(th);
    record.UMax = static_cast<float>(w) / static_cast<float>(tw);
    record.VMax = static_cast<float>(h) / static_cast<float>(th);
    return true;
}

} // namespace

bool GrabScreen(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w,
                std::int32_t h) {
    const RenderSurface* surface = FramebufferSurface(display);
    if (surface && surface->sprite == id) return false; // its texture is what is being drawn into
    // Surfaces draw into RGBA textures; the window's buffer is asked once it has alpha.
    OffscreenState& offscreen = display.Offscreen;
    if (!surface && offscreen.alphaBits == 0 && display.GlReady) {
        GLint bits = 0;
        glGetIntegerv(GL_ALPHA_BITS, &bits);
        offscreen.alphaBits = bits;
    }
    // Without alpha in the colour buffer the key colour has to be found by hand.
    if (!surface && offscreen.alphaBits == 0) return GrabScreenByReadBack(display, id, x, y, w, h);
    if (!PrepareGrabTexture(display, id, w, h)) return false;
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, TargetHeight(display) - y - h, w, h);
    return true;
}

bool GrabScreenByReadBack(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w,
                          std::int32_t h) {
    if (!display.GlReady) return false;
    const RenderSurface* surface = FramebufferSurface(display);
    if (surface && surface->sprite == id) return false;
    const std::optional<std::uint32_t> key = ProbeKeyColour(display); // draws: before the texture is bound
    if (!PrepareGrabTexture(display, id, w, h)) return false;
    std::vector<std::uint8_t>& buffer = display.Offscreen.grabBuffer;
    buffer.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, TargetHeight(display) - y - h, w, h, GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
    if (key) {
        const std::uint8_t red = *key & 0xFF, green = (*key >> 8) & 0xFF, blue = (*key >> 16) & 0xFF;
        for (std::size_t i = 0; i < buffer.size(); i += 4) {
            if (buffer[i] == blue && buffer[i + 1] == green && buffer[i + 2] == red) buffer[i + 3] = 0;
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
    return true;
}

std::optional<std::uint32_t> ProbeKeyColour(Display& display) {
    const std::uint32_t key = display.Sprites.ColourKey;
    if (key > 0xFFFFFF) return std::nullopt; // no key: no pixel is transparent
    if (key == 0) return 0;
    // The window's buffer is probed once per key; a surface's each time.
    const bool window = FramebufferSurface(display) == nullptr;
    std::optional<std::pair<std::uint32_t, std::uint32_t>>& known = display.Offscreen.windowKeyProbe;
    if (window && known && known->first == key) return known->second;
    // Plot the key where it does not show for long, read how it was stored,
    // put the pixel back; blending would mix the plots with what is there.
    FlushDrawing(display);
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glDisable(GL_BLEND);
    const std::uint32_t saved = ReadPixel(display, 4, 4);
    PlotPixel(display, 4, 4, key);
    const std::uint32_t stored = ReadPixel(display, 4, 4);
    PlotPixel(display, 4, 4, saved);
    FlushDrawing(display);
    if (blending) glEnable(GL_BLEND);
    if (window) known = std::pair{key, stored};
    return stored;
}

bool SaveScreen(Display& display, std::string_view name) {
    if (!display.GlReady) return false;
    FlushDrawing(display);
    const ScreenPicture picture = ReadBackBuffer(display);

    std::optional<KeyColour> key;
    if (const std::optional<std::uint32_t> probed = ProbeKeyColour(display)) {
        key = KeyColour{static_cast<std::uint8_t>(*probed >> 16), static_cast<std::uint8_t>(*probed >> 8),
                        static_cast<std::uint8_t>(*probed)};
    }
    // A PNG keeps every pixel opaque when the key is black; a BMP writes
    // key-coloured pixels in the standard key colour whatever the key is.
    if (IsPngName(name) && display.Sprites.ColourKey == 0) key.reset();
    return WriteScreenPicture(name, picture, key);
}

} // namespace vlm
