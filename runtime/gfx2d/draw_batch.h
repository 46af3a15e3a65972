// Inside the drawing layer: handing vertices to the batch.
#pragma once

#include <span>

#include "frame/display.h"

namespace vlm {

// Appends one quad given as a four-vertex fan in screen order. reverse sends
// it the other way round (mirrored quads keep facing the viewer).
void AppendQuad(Display& display, const BatchKey& key, const BatchVertex (&quad)[4], bool reverse = false);
// Appends lines (two vertices each) or points (one each).
void AppendVertices(Display& display, const BatchKey& key, std::span<const BatchVertex> vertices);
// 2D drawing uses texture unit 0 only; the 3D engine may leave unit 1 on.
void UseFirstTextureUnitOnly();
// What every textured draw does first: unit 1 off, then the key's texture
// bound on unit 0 with its wrap mode and filtering (texture 0: texturing off).
void SelectTexture(const BatchKey& key);

} // namespace vlm
