// The 2D drawing state kept in the display: global alpha, smoothing, the
// batch of quads waiting to be drawn and the program's triangle batch.
#pragma once

#include <cstdint>
#include <vector>

namespace vlm {

// Interleaved for vertex arrays: position, texture coordinates, colour.
struct BatchVertex {
    float x, y;
    float u, v;
    std::uint8_t red, green, blue, alpha;
};
static_assert(sizeof(BatchVertex) == 20);

enum class BatchPrimitive : std::uint8_t { Quads, Lines, Points };

// Everything a run of batched draws shares; a draw with another key first
// sends what is waiting.
struct BatchKey {
    BatchPrimitive primitive = BatchPrimitive::Quads;
    std::uint32_t texture = 0; // 0: untextured (a primitive, with per-vertex colours)
    bool smoothing = true;     // linear filtering
    bool clampToEdge = false;  // wrap mode: clamp (vertex-array quads) or repeat (natural size)

    bool operator==(const BatchKey&) const = default;
};

// The program's triangle batch (BeginPolygon .. EndPolygon).
struct PolygonBatch {
    std::vector<BatchVertex> vertices;
    std::int32_t textureSprite = -1; // -1: untextured
    bool fan = true;
    bool coloured = false; // a vertex had a colour other than white
    float inverseTexWidth = 0, inverseTexHeight = 0;
};

struct DrawingState {
    float Alpha = 1.0f;    // global alpha of primitives and sprites
    bool Smoothing = true; // linear filtering when drawing
    // Consecutive draws that share a key go out in one call; off, every
    // draw goes out at once (same pixels, for comparison and debugging).
    bool Batching = true;
    std::int32_t CurrentFont = 0; // bitmap font slot that prints text

    std::vector<BatchVertex> pending; // four vertices a quad, two a line, one a point
    BatchKey pendingKey;
    std::vector<std::uint32_t> quadIndices; // two triangles a quad, as a four-vertex fan
    PolygonBatch polygon;
};

} // namespace vlm
