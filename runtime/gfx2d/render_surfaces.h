// Off-screen surfaces: 32 numbered drawing targets, each a sprite whose
// picture later drawing goes into instead of the screen. A framebuffer
// object does it where the context has them; otherwise the surface's area
// of the screen is borrowed and copied into the sprite when drawing leaves it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace vlm {

class OpenGLGlimmer;
using Display = OpenGLGlimmer;

inline constexpr std::int32_t kSurfaceCount = 32;
// Keeps the screen area a surface borrows while it is drawn into without a framebuffer object.
inline constexpr std::int32_t kSavedScreenSprite = 65503;

struct RenderSurface {
    std::uint32_t framebuffer = 0;
    std::uint32_t depthBuffer = 0;
    std::uint32_t previousFramebuffer = 0; // bound again when drawing leaves the surface
    std::int32_t width = 0;                // non-zero: the framebuffer object is usable
    std::int32_t height = 0;
    std::int32_t sprite = -1;              // -1: the surface was never made
};

struct OffscreenState {
    std::array<RenderSurface, kSurfaceCount> surfaces{};
    std::int32_t current = -1; // -1: drawing goes to the screen
    std::int32_t alphaBits = 0;  // of the window's colour buffer, once known to be non-zero
    std::vector<std::uint8_t> grabBuffer; // screen copies when the colour buffer has no alpha
    // How the window's colour buffer stores the colour key (its format does
    // not change while the window lives): the key asked and what was read.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> windowKeyProbe;
};

// Makes sprite id a w x h surface, starting transparent black.
void CreateSurface(Display& display, std::int32_t surface, std::int32_t id, std::int32_t w, std::int32_t h);
// Directs later drawing into the surface, or (negative) back to the screen.
void UseSurface(Display& display, std::int32_t surface);
// Back to the screen if a surface is the target (before the picture is shown).
void FinishSurface(Display& display);
// Deletes every framebuffer object (the context is about to go).
void FreeSurfaces(Display& display);
// The current surface when it draws through a framebuffer object, else null.
const RenderSurface* FramebufferSurface(const Display& display);
// The height that turns y-down drawing positions into GL rows of the current target.
std::int32_t TargetHeight(const Display& display);

} // namespace vlm
