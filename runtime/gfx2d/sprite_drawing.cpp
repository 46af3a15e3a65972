// Drawing sprites and animation frames: natural size, stretched, zoomed,
// rotated. Each draw becomes one quad of the batch.
#include <cmath>

#include "gfx2d/draw_batch.h"
#include "gfx2d/drawing.h"
#include "values/numeric.h"

namespace vlm {

namespace {

// A sprite worth drawing: loaded, with a texture.
const SpriteRecord* Drawable(Display& display, std::int32_t id) {
    if (!ValidSpriteId(id)) return nullptr;
    const SpriteRecord& record = display.Sprites.Record(id);
    if (record.Width <= 0 || record.Height <= 0 || record.Texture == 0) return nullptr;
    return &record;
}

BatchKey SpriteKey(const Display& display, const SpriteRecord& record, bool clampToEdge) {
    return {BatchPrimitive::Quads, record.Texture, display.Drawing.Smoothing, clampToEdge};
}

BatchVertex Vertex(double x, double y, float u, float v) {
    return {static_cast<float>(x), static_cast<float>(y), u, v, 255, 255, 255, 255};
}

// The texture rectangle of one animation frame (frames count from the
// image's top-left, texture rows from its bottom).
struct FrameCell {
    std::int32_t width = 0, height = 0;
    float u0 = 0, u1 = 0, vb = 0, vt = 0;
};

bool FindFrameCell(const SpriteRecord& record, std::int32_t frame, FrameCell& cell) {
    const std::int32_t fw = record.FrameWidth, fh = record.FrameHeight;
    if (fw <= 0 || fh <= 0) return false;
    const auto [column, row] = FrameGridPosition(record, frame);
    const float texWidth = record.TexWidth, texHeight = record.TexHeight;
    cell.width = fw;
    cell.height = fh;
    cell.u0 = static_cast<float>(column) * (static_cast<float>(fw) / texWidth);
    cell.u1 = cell.u0 + static_cast<float>(fw) / texWidth;
    // In 64 bits: any frame number is allowed, however far past the picture.
    cell.vb = static_cast<float>(record.Height - std::int64_t{fh} * (std::int64_t{row} + 1)) / texHeight;
    cell.vt = cell.vb + static_cast<float>(fh) / texHeight;
    return true;
}

// Quads whose sides run against each other (exactly one negative size) are
// mirrored; they are sent reversed so that they still face the viewer.
bool Mirrored(double w, double h) {
    return (w < 0) != (h < 0);
}

} // namespace

// Corners are computed in double: positions near the ends of the 32-bit range must not overflow.
void DrawSprite(Display& display, std::int32_t id, std::int32_t ix, std::int32_t iy) {
    const SpriteRecord* r = Drawable(display, id);
    if (!r) return;
    const double x = ix, y = iy;
    const BatchVertex quad[4] = {Vertex(x + r->Width, y, r->UMax, r->VMax), Vertex(x, y, 0, r->VMax),
                                 Vertex(x, y + r->Height, 0, 0),
                                 Vertex(x + r->Width, y + r->Height, r->UMax, 0)};
    AppendQuad(display, SpriteKey(display, *r, false), quad);
}

void DrawSpriteFrame(Display& display, std::int32_t id, std::int32_t frame, std::int32_t ix, std::int32_t iy) {
    const SpriteRecord* r = Drawable(display, id);
    FrameCell c;
    if (!r || !FindFrameCell(*r, frame, c)) return;
    const double x = ix, y = iy;
    const BatchVertex quad[4] = {Vertex(x + c.width, y, c.u1, c.vt), Vertex(x, y, c.u0, c.vt),
                                 Vertex(x, y + c.height, c.u0, c.vb),
                                 Vertex(x + c.width, y + c.height, c.u1, c.vb)};
    AppendQuad(display, SpriteKey(display, *r, false), quad);
}

void DrawSpriteStretched(Display& display, std::int32_t id, std::int32_t ix, std::int32_t iy, std::int32_t iw,
                         std::int32_t ih) {
    const SpriteRecord* r = Drawable(display, id);
    if (!r) return;
    const double x = ix, y = iy, w = iw, h = ih;
    const BatchVertex quad[4] = {Vertex(x, y + h, 0, 0), Vertex(x + w, y + h, r->UMax, 0),
                                 Vertex(x + w, y, r->UMax, r->VMax), Vertex(x, y, 0, r->VMax)};
    AppendQuad(display, SpriteKey(display, *r, true), quad, Mirrored(w, h));
}

void DrawSpriteZoomed(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, double sx,
                      double sy) {
    const SpriteRecord* r = Drawable(display, id);
    if (!r) return;
    // Scaled about the centre of the natural-size copy at (x, y); huge
    // factors saturate rather than overflow.
    const double w = r->Width, h = r->Height, sw = sx * w, sh = sy * h;
    DrawSpriteStretched(display, id, TruncateToInteger(x - (sw - w) * 0.5), TruncateToInteger(y - (sh - h) * 0.5),
                        TruncateToInteger(sw), TruncateToInteger(sh));
}

void DrawSpriteRotated(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, double angle) {
    DrawSpriteRotoZoomed(display, id, x, y, angle, 1.0);
}

void DrawSpriteRotoZoomed(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, double angle,
                          double zoom) {
    const SpriteRecord* r = Drawable(display, id);
    if (!r) return;
    // Half a texel in from each edge, so filtering never reaches outside the picture.
    const float texWidth = r->TexWidth, texHeight = r->TexHeight;
    const float u0 = 0.5f / texWidth, u1 = (r->Width - 0.5f) / texWidth;
    const float vb = 0.5f / texHeight, vt = (r->Height - 0.5f) / texHeight;
    const double hw = r->Width * zoom * 0.5, hh = r->Height * zoom * 0.5;
    const double cx = x + static_cast<double>(r->Width / 2), cy = y + static_cast<double>(r->Height / 2);
    // A positive angle turns counter-clockwise on the screen (y down).
    const double c = CosDegrees(angle), s = SinDegrees(angle);
    auto corner = [&](double lx, double ly, float u, float v) {
        return Vertex(cx + lx * c + ly * s, cy - lx * s + ly * c, u, v);
    };
    const BatchVertex quad[4] = {corner(-hw, hh, u0, vb), corner(hw, hh, u1, vb), corner(hw, -hh, u1, vt),
                                 corner(-hw, -hh, u0, vt)};
    AppendQuad(display, SpriteKey(display, *r, true), quad);
}

void DrawFrameRotoZoomed(Display& display, std::int32_t id, std::int32_t frame, std::int32_t x,
                         std::int32_t y, double angle, double zoom) {
    const SpriteRecord* r = Drawable(display, id);
    FrameCell cell;
    if (!r || !FindFrameCell(*r, frame, cell)) return;
    const float texWidth = r->TexWidth, texHeight = r->TexHeight;
    const float u0 = cell.u0 + 0.5f / texWidth, u1 = u0 + cell.width / texWidth - 1 / texWidth;
    const float vb = cell.vb + 0.5f / texHeight, vt = vb + cell.height / texHeight - 1 / texHeight;
    const double hw = cell.width * zoom * 0.5, hh = cell.height * zoom * 0.5;
    const double cx = x + static_cast<double>(cell.width / 2), cy = y + static_cast<double>(cell.height / 2);
    const double c = CosDegrees(angle), s = SinDegrees(angle);
    const BatchVertex quad[4] = {Vertex(cx - hw * c - hh * s, cy - hh * c + hw * s, u0, vt),
                                 Vertex(cx - hw * c + hh * s, cy + hh * c + hw * s, u0, vb),
                                 Vertex(cx + hw * c + hh * s, cy + hh * c - hw * s, u1, vb),
                                 Vertex(cx + hw * c - hh * s, cy - hh * c - hw * s, u1, vt)};
    AppendQuad(display, SpriteKey(display, *r, true), quad);
}

void DrawFrameStretched(Display& display, std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y,
                        std::int32_t w, std::int32_t h) {
    const SpriteRecord* r = Drawable(display, id);
    FrameCell c;
    if (!r || !FindFrameCell(*r, frame, c)) return;
    const double x1 = static_cast<double>(x) + w + 0.1, y1 = static_cast<double>(y) + h + 0.1;
    const BatchVertex quad[4] = {Vertex(x, y, c.u0, c.vt), Vertex(x, y1, c.u0, c.vb),
                                 Vertex(x1, y1, c.u1, c.vb), Vertex(x1, y, c.u1, c.vt)};
    AppendQuad(display, SpriteKey(display, *r, true), quad, Mirrored(w, h));
}

} // namespace vlm
