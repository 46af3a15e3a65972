// The batch: draws that share a key collect in one vertex array and go to
// GL in one call when the key changes, when something reads or changes GL
// state, and at the end of the frame.
#include "gfx2d/draw_batch.h"

#include <GL/gl.h>

#include "frame/gl_extensions.h"
#include "gfx2d/drawing.h"

namespace vlm {

void UseFirstTextureUnitOnly() {
    const auto activeTexture = GlExtensions().ActiveTextureARB;
    if (!activeTexture) return;
    activeTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    activeTexture(GL_TEXTURE0);
}

void SelectTexture(const BatchKey& key) {
    UseFirstTextureUnitOnly();
    if (key.texture == 0) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glBindTexture(GL_TEXTURE_2D, key.texture);
    glEnable(GL_TEXTURE_2D);
    const GLint wrap = key.clampToEdge ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    const GLint filter = key.smoothing ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

namespace {

// Indices that cut each four-vertex fan into its two triangles (0 1 2, 0 2 3).
const std::uint32_t* QuadIndices(DrawingState& state, std::size_t quads) {
    std::vector<std::uint32_t>& indices = state.quadIndices;
    for (std::uint32_t q = static_cast<std::uint32_t>(indices.size() / 6); q < quads; ++q) {
        const std::uint32_t b = q * 4;
        indices.insert(indices.end(), {b, b + 1, b + 2, b, b + 2, b + 3});
    }
    return indices.data();
}

void StartRun(Display& display, const BatchKey& key) {
    DrawingState& state = display.Drawing;
    if (!state.pending.empty() && !(state.pendingKey == key)) FlushDrawing(display);
    state.pendingKey = key;
}

void EndRun(Display& display) {
    if (!display.Drawing.Batching) FlushDrawing(display);
}

} // namespace

void AppendQuad(Display& display, const BatchKey& key, const BatchVertex (&quad)[4], bool reverse) {
    StartRun(display, key);
    std::vector<BatchVertex>& pending = display.Drawing.pending;
    if (reverse) {
        pending.insert(pending.end(), {quad[0], quad[3], quad[2], quad[1]});
    } else {
        pending.insert(pending.end(), std::begin(quad), std::end(quad));
    }
    EndRun(display);
}

void AppendVertices(Display& display, const BatchKey& key, std::span<const BatchVertex> vertices) {
    StartRun(display, key);
    display.Drawing.pending.insert(display.Drawing.pending.end(), vertices.begin(), vertices.end());
    EndRun(display);
}

void FlushDrawing(Display& display) {
    DrawingState& state = display.Drawing;
    if (state.pending.empty()) return;
    const BatchKey& key = state.pendingKey;
    SelectTexture(key);

    const BatchVertex* v = state.pending.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(BatchVertex), &v->x);
    const bool primitive = key.texture == 0;
    if (primitive) {
        // Primitives carry their own colours and draw even where alpha is 0.
        glDisable(GL_ALPHA_TEST);
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(BatchVertex), &v->red);
    } else {
        glColor4f(1, 1, 1, state.Alpha); // sprites take the global alpha, whatever drew last
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(BatchVertex), &v->u);
    }
    const auto count = static_cast<GLsizei>(state.pending.size());
    switch (key.primitive) {
    case BatchPrimitive::Quads:
        glDrawElements(GL_TRIANGLES, count / 4 * 6, GL_UNSIGNED_INT,
                       QuadIndices(state, static_cast<std::size_t>(count / 4)));
        break;
    case BatchPrimitive::Lines:
        glDrawArrays(GL_LINES, 0, count);
        break;
    case BatchPrimitive::Points:
        glDrawArrays(GL_POINTS, 0, count);
        break;
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    if (primitive) {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, state.Alpha);
        glEnable(GL_ALPHA_TEST);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    state.pending.clear();
}

void DiscardDrawing(Display& display) {
    display.Drawing.pending.clear();
}

void ResetDrawingState(Display& display) {
    FlushDrawing(display);
    DrawingState& state = display.Drawing;
    state.Smoothing = true;
    state.Alpha = 1.0f;
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
}

} // namespace vlm
