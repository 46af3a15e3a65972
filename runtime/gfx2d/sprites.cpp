#include "gfx2d/sprites.h"

#include <algorithm>

#include "gfx2d/bitmap_fonts.h"
#include "gfx2d/drawing.h"
#include "gfx2d/screen_grab.h"

namespace vlm {

namespace {

// The display to act on, or null before start-up and for ids out of range.
Display* DisplayFor(std::int32_t id) {
    return ValidSpriteId(id) ? TheDisplay() : nullptr;
}

} // namespace

void LoadSprite(const DynString& name, std::int32_t id) {
    if (Display* display = DisplayFor(id)) {
        FlushDrawing(*display); // waiting draws may still use the old texture
        display->Sprites.LoadSprite(name.view(), id);
    }
}

void LoadAnimSprite(const DynString& name, std::int32_t id, std::int32_t frameWidth,
                    std::int32_t frameHeight) {
    if (Display* display = DisplayFor(id)) {
        FlushDrawing(*display);
        display->Sprites.LoadAnimSprite(name.view(), id, frameWidth, frameHeight);
    }
}

void LoadNormalMapSprite(const DynString& name, std::int32_t id) {
    if (Display* display = DisplayFor(id)) {
        FlushDrawing(*display);
        display->Sprites.LoadSprite(name.view(), id, true);
    }
}

void SetColourKey(std::uint32_t colour) {
    if (Display* display = TheDisplay()) {
        FlushDrawing(*display); // primitives waiting were coloured under the old key
        display->Sprites.SetColourKey(colour);
    }
}

void SpriteSize(std::int32_t id, std::int32_t& width, std::int32_t& height) {
    width = height = 0;
    if (Display* display = DisplayFor(id)) {
        width = display->Sprites.Record(id).Width;
        height = display->Sprites.Record(id).Height;
    }
}

void SpriteSize(std::int32_t id, double& width, double& height) {
    std::int32_t w, h;
    SpriteSize(id, w, h);
    width = w;
    height = h;
}

std::uint32_t SpriteTextureName(std::int32_t id) {
    Display* display = DisplayFor(id);
    if (!display) return 0;
    // The texture is wanted for drawing with GL directly, which must land over what was drawn before.
    FlushDrawing(*display);
    return display->Sprites.Record(id).Texture;
}

std::int32_t FindFreeSprite() {
    Display* display = TheDisplay();
    return display ? display->Sprites.FindFreeSprite() : -1;
}

std::int32_t SpriteCollision(std::int32_t a, std::int32_t xa, std::int32_t ya, std::int32_t b,
                             std::int32_t xb, std::int32_t yb) {
    Display* display = DisplayFor(a);
    if (!display || !ValidSpriteId(b)) return 0;
    return display->Sprites.SpriteCollision(a, xa, ya, b, xb, yb);
}

std::int32_t FrameCollision(std::int32_t a, std::int32_t frameA, std::int32_t xa, std::int32_t ya,
                            std::int32_t b, std::int32_t frameB, std::int32_t xb, std::int32_t yb) {
    Display* display = DisplayFor(a);
    if (!display || !ValidSpriteId(b)) return 0;
    // Negative frame numbers would stand for the whole picture inside the store.
    return display->Sprites.FrameCollision(a, std::max(frameA, 0), xa, ya, b, std::max(frameB, 0), xb, yb);
}

void SetBlendAlpha(double a) {
    if (Display* display = TheDisplay()) SetBlendAlpha(*display, a);
}
void SetSmoothing(std::int32_t on) {
    if (Display* display = TheDisplay()) SetSmoothing(*display, on != 0);
}
void ClearScreen() {
    if (Display* display = TheDisplay()) ClearScreen(*display);
}
void FlushDrawing() {
    if (Display* display = TheDisplay()) FlushDrawing(*display);
}

void DrawSprite(std::int32_t id, std::int32_t x, std::int32_t y) {
    if (Display* display = TheDisplay()) DrawSprite(*display, id, x, y);
}
void DrawSpriteFrame(std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y) {
    if (Display* display = TheDisplay()) DrawSpriteFrame(*display, id, frame, x, y);
}
void DrawSpriteStretched(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (Display* display = TheDisplay()) DrawSpriteStretched(*display, id, x, y, w, h);
}
void DrawSpriteZoomed(std::int32_t id, std::int32_t x, std::int32_t y, double sx, double sy) {
    if (Display* display = TheDisplay()) DrawSpriteZoomed(*display, id, x, y, sx, sy);
}
void DrawSpriteRotated(std::int32_t id, std::int32_t x, std::int32_t y, double angle) {
    if (Display* display = TheDisplay()) DrawSpriteRotated(*display, id, x, y, angle);
}
void DrawSpriteRotoZoomed(std::int32_t id, std::int32_t x, std::int32_t y, double angle, double zoom) {
    if (Display* display = TheDisplay()) DrawSpriteRotoZoomed(*display, id, x, y, angle, zoom);
}
void DrawFrameRotoZoomed(std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y, double angle,
                         double zoom) {
    if (Display* display = TheDisplay()) DrawFrameRotoZoomed(*display, id, frame, x, y, angle, zoom);
}
void DrawFrameStretched(std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y, std::int32_t w,
                        std::int32_t h) {
    if (Display* display = TheDisplay()) DrawFrameStretched(*display, id, frame, x, y, w, h);
}

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::uint32_t colour) {
    if (Display* display = TheDisplay()) DrawLine(*display, x1, y1, x2, y2, colour);
}
void PlotPixel(std::int32_t x, std::int32_t y, std::uint32_t colour) {
    if (Display* display = TheDisplay()) PlotPixel(*display, x, y, colour);
}
void FillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint32_t colour) {
    if (Display* display = TheDisplay()) FillRect(*display, x, y, w, h, colour);
}
std::uint32_t ReadPixel(std::int32_t x, std::int32_t y) {
    Display* display = TheDisplay();
    return display ? ReadPixel(*display, x, y) : 0;
}

void BeginPolygon(std::int32_t id, std::int32_t mode) {
    if (Display* display = TheDisplay()) BeginPolygon(*display, id, mode);
}
void PolygonVertex(double x, double y, double tx, double ty, std::uint32_t colour) {
    if (Display* display = TheDisplay()) PolygonVertex(*display, x, y, tx, ty, colour);
}
void EndPolygon() {
    if (Display* display = TheDisplay()) EndPolygon(*display);
}

void SetFont(std::int32_t font) {
    if (Display* display = TheDisplay()) SetFont(*display, font);
}

void LoadFont(const DynString& name, std::int32_t font) {
    if (Display* display = TheDisplay()) LoadFont(*display, name.view(), font);
}

void FontCharSize(std::int32_t& width, std::int32_t& height) {
    width = height = 0;
    if (Display* display = TheDisplay()) {
        const FontCellSize size = FontCharSize(*display);
        width = size.width;
        height = size.height;
    }
}

void FontCharSize(double& width, double& height) {
    std::int32_t w, h;
    FontCharSize(w, h);
    width = w;
    height = h;
}

void PrintText(const DynString& text, double x, double y) {
    if (Display* display = TheDisplay()) PrintText(*display, text.view(), x, y);
}

void PrintNumber(double value, double x, double y) {
    if (Display* display = TheDisplay()) PrintNumber(*display, value, x, y);
}

void GrabBackground() {
    if (Display* display = TheDisplay()) GrabBackground(*display, 0);
}

void LoadBackground(const DynString& name) {
    if (Display* display = TheDisplay()) LoadBackground(*display, name.view());
}

void DiscardBackground(std::int32_t slot) {
    if (Display* display = TheDisplay()) DiscardBackground(*display, slot);
}

std::int32_t GrabScreen(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    Display* display = DisplayFor(id);
    return display && GrabScreen(*display, id, x, y, w, h) ? 1 : 0;
}

void CreateSurface(std::int32_t surface, std::int32_t id, std::int32_t w, std::int32_t h) {
    if (Display* display = DisplayFor(id)) CreateSurface(*display, surface, id, w, h);
}

void UseSurface(std::int32_t surface) {
    if (Display* display = TheDisplay()) UseSurface(*display, surface);
}

std::int32_t SaveScreen(const DynString& name) {
    Display* display = TheDisplay();
    return display && SaveScreen(*display, name.view()) ? 1 : 0;
}

} // namespace vlm
