// Blend mode and smoothing, clearing, lines, points, rectangles, reading a
// pixel back and the program's triangle batch.
#include <GL/gl.h>

#include <algorithm>

#include "gfx2d/draw_batch.h"
#include "gfx2d/drawing.h"

namespace vlm {

namespace {

// Integer coordinates land on pixel centres.
constexpr float kPixelCentre = 0.375f;

// A primitive's colour: the key colour carries alpha 0, anything else the global alpha.
BatchVertex ColouredVertex(const Display& display, float x, float y, std::uint32_t colour) {
    const bool key = (colour & 0xFFFFFF) == display.Sprites.ColourKey;
    const auto alpha = key ? std::uint8_t{0} : static_cast<std::uint8_t>(255 * display.Drawing.Alpha);
    return {x + kPixelCentre,
            y + kPixelCentre,
            0,
            0,
            static_cast<std::uint8_t>(colour),
            static_cast<std::uint8_t>(colour >> 8),
            static_cast<std::uint8_t>(colour >> 16),
            alpha};
}

constexpr BatchKey PrimitiveKey(BatchPrimitive primitive) {
    return {primitive, 0, true, false};
}

} // namespace

void SetBlendAlpha(Display& display, double a) {
    FlushDrawing(display);
    const float value = static_cast<float>(a);
    float alpha;
    glEnable(GL_BLEND);
    if (value == 0) {
        glDisable(GL_BLEND);
        alpha = 1.0f;
    } else if (value < 0) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        alpha = -value;
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        alpha = value;
    }
    display.Drawing.Alpha = std::min(alpha, 1.0f);
    glColor4f(1, 1, 1, display.Drawing.Alpha);
}

void SetSmoothing(Display& display, bool on) {
    display.Drawing.Smoothing = on;
}

void ClearScreen(Display& display) {
    FlushDrawing(display);
    DiscardBackground(display, 0); // a cleared screen no longer shows a background
    glClear(GL_COLOR_BUFFER_BIT);
}

void DrawLine(Display& display, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::uint32_t colour) {
    // GL leaves a line's last pixel out; the point puts it in.
    const BatchVertex line[2] = {ColouredVertex(display, x1, y1, colour),
                                 ColouredVertex(display, x2, y2, colour)};
    AppendVertices(display, PrimitiveKey(BatchPrimitive::Lines), line);
    AppendVertices(display, PrimitiveKey(BatchPrimitive::Points), std::span(line + 1, 1));
}

void PlotPixel(Display& display, std::int32_t x, std::int32_t y, std::uint32_t colour) {
    const BatchVertex point[1] = {ColouredVertex(display, x, y, colour)};
    AppendVertices(display, PrimitiveKey(BatchPrimitive::Points), point);
}

void FillRect(Display& display, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
              std::uint32_t colour) {
    // Negative sizes extend left and up from the given corner, which stays
    // included (in 64 bits: no size or place overflows).
    std::int64_t left64 = x, top64 = y, width = w, height = h;
    if (width < 0) {
        left64 += width + 1;
        width = -width;
    }
    if (height < 0) {
        top64 += height + 1;
        height = -height;
    }
    const auto left = static_cast<float>(left64), top = static_cast<float>(top64);
    const auto right = static_cast<float>(left64 + width), bottom = static_cast<float>(top64 + height);
    const BatchVertex quad[4] = {
        ColouredVertex(display, left, bottom, colour), ColouredVertex(display, right, bottom, colour),
        ColouredVertex(display, right, top, colour), ColouredVertex(display, left, top, colour)};
    AppendQuad(display, PrimitiveKey(BatchPrimitive::Quads), quad);
}

std::uint32_t ReadPixel(Display& display, std::int32_t x, std::int32_t y) {
    FlushDrawing(display);
    std::uint8_t rgba[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, TargetHeight(display) - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return PackColour(rgba[0], rgba[1], rgba[2]);
}

void BeginPolygon(Display& display, std::int32_t id, std::int32_t mode) {
    PolygonBatch& batch = display.Drawing.polygon;
    batch.vertices.clear();
    batch.textureSprite = ValidSpriteId(id) ? id : -1;
    batch.fan = mode == 0;
    batch.coloured = false;
    if (batch.textureSprite >= 0) {
        const SpriteRecord& record = display.Sprites.Record(id);
        batch.inverseTexWidth = 1.0f / record.TexWidth;
        batch.inverseTexHeight = 1.0f / record.TexHeight;
    }
}

void PolygonVertex(Display& display, double x, double y, double tx, double ty, std::uint32_t colour) {
    PolygonBatch& batch = display.Drawing.polygon;
    std::vector<BatchVertex>& vertices = batch.vertices;
    BatchVertex vertex{static_cast<float>(x), static_cast<float>(y), 0, 0, 255, 255, 255, 255};
    if (batch.textureSprite >= 0) {
        const SpriteRecord& record = display.Sprites.Record(batch.textureSprite);
        vertex.u = static_cast<float>(tx) * batch.inverseTexWidth;
        vertex.v = static_cast<float>(record.Height - ty) * batch.inverseTexHeight;
    }
    if ((colour & 0xFFFFFF) != 0xFFFFFF) {
        batch.coloured = true;
        vertex.red = static_cast<std::uint8_t>(colour);
        vertex.green = static_cast<std::uint8_t>(colour >> 8);
        vertex.blue = static_cast<std::uint8_t>(colour >> 16);
    }
    const bool key = (colour & 0xFFFFFF) == display.Sprites.ColourKey;
    vertex.alpha = key ? 0 : static_cast<std::uint8_t>(255 * display.Drawing.Alpha);
    vertices.push_back(vertex);
}

void EndPolygon(Display& display) {
    FlushDrawing(display);
    DrawingState& state = display.Drawing;
    const PolygonBatch& batch = state.polygon;
    const std::uint32_t texture =
        batch.textureSprite >= 0 ? display.Sprites.Record(batch.textureSprite).Texture : 0;
    // Selected even for an empty batch, as every textured draw selects: unit 1 goes off.
    SelectTexture({.texture = texture, .smoothing = state.Smoothing});
    if (batch.vertices.empty()) return;
    const BatchVertex* v = batch.vertices.data();
    const bool textured = texture != 0;
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(BatchVertex), &v->u);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(BatchVertex), &v->x);
    const bool colours = batch.coloured || state.Alpha != 1.0f;
    if (colours) {
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_DITHER);
        glShadeModel(GL_SMOOTH);
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(BatchVertex), &v->red);
    }
    glDrawArrays(batch.fan ? GL_TRIANGLE_FAN : GL_TRIANGLES, 0, static_cast<GLsizei>(batch.vertices.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    if (textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (colours) {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, state.Alpha);
        glShadeModel(GL_FLAT);
        glDisable(GL_DITHER);
        glDisable(GL_COLOR_MATERIAL);
    }
}

} // namespace vlm
