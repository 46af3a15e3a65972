// Sprite and primitive drawing into the current target through the 2D view.
// These act on a display; the program-facing forms in sprites.h act on the
// process's display. Draws are batched: consecutive draws that share
// texture and state are sent together, at the latest by FlushDrawing.
#pragma once

#include <cstdint>

#include "frame/display.h"

namespace vlm {

// ---- Batching and state resets (called by the window and surface code) ----
void FlushDrawing(Display& display);      // sends every waiting draw
void DiscardDrawing(Display& display);    // forgets waiting draws (the context is going away)
void ResetDrawingState(Display& display); // the view's reset: smoothing on, no blending, alpha 1, no texture

// ---- State ---------------------------------------------------------------
void SetBlendAlpha(Display& display, double a); // 0 opaque, < 0 translucent, > 0 additive
void SetSmoothing(Display& display, bool on);
void ClearScreen(Display& display);

// ---- Sprites ---------------------------------------------------------------
void DrawSprite(Display& display, std::int32_t id, std::int32_t x, std::int32_t y);
void DrawSpriteFrame(Display& display, std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y);
void DrawSpriteStretched(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w,
                         std::int32_t h);
void DrawSpriteZoomed(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, double sx,
                      double sy);
void DrawSpriteRotated(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, double angle);
void DrawSpriteRotoZoomed(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, double angle,
                          double zoom);
void DrawFrameRotoZoomed(Display& display, std::int32_t id, std::int32_t frame, std::int32_t x,
                         std::int32_t y, double angle, double zoom);
void DrawFrameStretched(Display& display, std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y,
                        std::int32_t w, std::int32_t h);

// ---- Primitives (colours 0x00BBGGRR; the colour key draws with alpha 0) ----
void DrawLine(Display& display, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::uint32_t colour);
void PlotPixel(Display& display, std::int32_t x, std::int32_t y, std::uint32_t colour);
void FillRect(Display& display, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
              std::uint32_t colour);
std::uint32_t ReadPixel(Display& display, std::int32_t x, std::int32_t y);

// ---- Triangle batch ----------------------------------------------------------
void BeginPolygon(Display& display, std::int32_t id, std::int32_t mode); // id -1: untextured; mode 0: fan
void PolygonVertex(Display& display, double x, double y, double tx, double ty, std::uint32_t colour);
void EndPolygon(Display& display);

} // namespace vlm
