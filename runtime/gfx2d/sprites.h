// Sprites and 2D drawing as a program sees them: numbered pictures loaded
// from image files (BMP, PNG, JPEG) and drawn into the window. Everything
// acts on the process's display; ids outside 0..65535 are ignored.
#pragma once

#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

// ---- The sprite store --------------------------------------------------------
void LoadSprite(const DynString& name, std::int32_t id); // "" or a missing file frees the id (code 3)
void LoadAnimSprite(const DynString& name, std::int32_t id, std::int32_t frameWidth,
                    std::int32_t frameHeight);
void LoadNormalMapSprite(const DynString& name, std::int32_t id); // the picture read as a height map
void SetColourKey(std::uint32_t colour); // 0x00BBGGRR, for later loads and primitives
void SpriteSize(std::int32_t id, std::int32_t& width, std::int32_t& height); // 0, 0 for a free id
void SpriteSize(std::int32_t id, double& width, double& height);
std::uint32_t SpriteTextureName(std::int32_t id); // GL texture name, 0 for a free id
std::int32_t FindFreeSprite();                    // lowest free id below 65504, or -1
std::int32_t SpriteCollision(std::int32_t a, std::int32_t xa, std::int32_t ya, std::int32_t b,
                             std::int32_t xb,
                             std::int32_t yb); // 1 when opaque pixels overlap
std::int32_t FrameCollision(std::int32_t a, std::int32_t frameA, std::int32_t xa, std::int32_t ya,
                            std::int32_t b, std::int32_t frameB, std::int32_t xb, std::int32_t yb);

// ---- Drawing state -----------------------------------------------------------
void SetBlendAlpha(double a); // 0 opaque, -a translucent with opacity a, +a additive
void SetSmoothing(std::int32_t on);
void ClearScreen();
void FlushDrawing(); // sends waiting draws: call it before drawing with GL itself

// ---- Sprites -----------------------------------------------------------------
void DrawSprite(std::int32_t id, std::int32_t x, std::int32_t y);
void DrawSpriteFrame(std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y);
void DrawSpriteStretched(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
void DrawSpriteZoomed(std::int32_t id, std::int32_t x, std::int32_t y, double sx, double sy);
void DrawSpriteRotated(std::int32_t id, std::int32_t x, std::int32_t y, double angle);
void DrawSpriteRotoZoomed(std::int32_t id, std::int32_t x, std::int32_t y, double angle, double zoom);
void DrawFrameRotoZoomed(std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y, double angle,
                         double zoom);
void DrawFrameStretched(std::int32_t id, std::int32_t frame, std::int32_t x, std::int32_t y, std::int32_t w,
                        std::int32_t h);

// ---- Primitives ----------------------------------------------------------------
void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::uint32_t colour);
void PlotPixel(std::int32_t x, std::int32_t y, std::uint32_t colour);
void FillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint32_t colour);
std::uint32_t ReadPixel(std::int32_t x, std::int32_t y); // 0x00BBGGRR

// ---- Bitmap fonts --------------------------------------------------------------
void SetFont(std::int32_t font);                      // clamped to 0..31
void LoadFont(const DynString& name, std::int32_t font); // failure: code 3 and the compiled-in font
void FontCharSize(std::int32_t& width, std::int32_t& height);
void FontCharSize(double& width, double& height);
void PrintText(const DynString& text, double x, double y);
void PrintNumber(double value, double x, double y);

// ---- Backgrounds ---------------------------------------------------------------
void GrabBackground();                     // the screen becomes the background, redrawn every frame
void LoadBackground(const DynString& name); // a picture file as the background
void DiscardBackground(std::int32_t slot);

// ---- Off-screen drawing and saving -------------------------------------------------
std::int32_t GrabScreen(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w,
                        std::int32_t h);                      // 1 when the rectangle became sprite id
void CreateSurface(std::int32_t surface, std::int32_t id, std::int32_t w, std::int32_t h); // surfaces 0..31
void UseSurface(std::int32_t surface);                        // negative: the screen again
std::int32_t SaveScreen(const DynString& name);               // PNG for ".png" names, else BMP; 1 when written

// ---- Triangle batch --------------------------------------------------------------
void BeginPolygon(std::int32_t id, std::int32_t mode); // id -1: untextured; mode 0: fan, else triangles
void PolygonVertex(double x, double y, double tx, double ty, std::uint32_t colour);
void EndPolygon();

} // namespace vlm
