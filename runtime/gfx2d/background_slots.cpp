#include "gfx2d/background_slots.h"

#include <GL/gl.h>

#include <algorithm>

#include "files/error_state.h"
#include "files/media_name_resolver.h"
#include "frame/display.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/drawing.h"
#include "gfx2d/image_decoders.h"

namespace vlm {

namespace {

constexpr std::int32_t kFirstGrabTile = 128;
constexpr std::int32_t kLargestPictureTile = 512;

bool ValidSlot(std::int32_t slot) {
    return slot >= 0 && slot < kBackgroundSlotCount;
}

BackgroundTile& TileAt(BackgroundSlot& slot, std::int32_t column, std::int32_t row) {
    return slot.tiles[static_cast<std::size_t>(column * kBackgroundTilesPerSide + row)];
}

std::int32_t MaxTextureSize() {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

// One tile as a triangle fan, the texture's bottom-left at the quad's.
void DrawTile(const BackgroundTile& tile, float left, float top) {
    const float right = left + static_cast<float>(tile.copiedWidth);
    const float bottom = top + static_cast<float>(tile.copiedHeight);
    const float u = static_cast<float>(tile.copiedWidth) / static_cast<float>(tile.texWidth);
    const float v = static_cast<float>(tile.copiedHeight) / static_cast<float>(tile.texHeight);
    const float corners[16] = {left, bottom, 0, 0, right, bottom, u, 0, right, top, u, v, left, top, 0, v};
    glBindTexture(GL_TEXTURE_2D, tile.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), corners);
    glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), corners + 2);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

void FailBackgroundLoad(Display& display) {
    SetErrorCode(kErrorNoSuchFile);
    DiscardBackground(display, 0);
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

void GrabBackground(Display& display, std::int32_t index) {
    if (!ValidSlot(index) || !display.GlReady) return;
    FlushDrawing(display); // the picture is complete before it is copied
    BackgroundSlot& slot = display.Backgrounds[static_cast<std::size_t>(index)];
    const std::int32_t width = display.ScreenWidth, height = display.ScreenHeight;
    const std::int32_t maxSize = MaxTextureSize();
    std::int32_t side = kFirstGrabTile;
    while (side < std::max(width, height) && side < maxSize)
        side *= 2;

    // Pictures beyond 8 x 8 tiles keep their top-left 8 x 8 tiles.
    std::int32_t columns = 0, rows = 0;
    for (std::int32_t row = 0; row < kBackgroundTilesPerSide && row * side < height; ++row) {
        rows = row + 1;
        for (std::int32_t column = 0; column < kBackgroundTilesPerSide && column * side < width; ++column) {
            columns = std::max(columns, column + 1);
            BackgroundTile& tile = TileAt(slot, column, row);
            if (tile.texture == 0 || tile.texWidth != side || tile.texHeight != side) {
                CreateCopyTexture(&tile.texture, side, side);
                tile.texWidth = tile.texHeight = side;
            } else {
                glBindTexture(GL_TEXTURE_2D, tile.texture);
            }
            const std::int32_t x0 = column * side, y0 = row * side;
            tile.copiedWidth = std::min(side, width - x0);
            tile.copiedHeight = std::min(side, height - y0);
            // GL counts rows from the bottom of the screen.
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x0, height - y0 - tile.copiedHeight, tile.copiedWidth,
                                tile.copiedHeight);
        }
    }
    slot.columns = columns;
    slot.rows = rows;
}

bool LoadBackground(Display& display, std::string_view name) {
    TheErrorState().LastErrorCode = kErrorSuccess;
    if (!display.GlReady) return false;
    FlushDrawing(display);
    const ResolvedName resolved = MediaNameResolver(name);
    ImageBuffer image;
    if (!resolved.found || !LoadImageFile(image, resolved.name.view(), kNoColourKey)) {
        FailBackgroundLoad(display);
        return false;
    }
    const std::int32_t side = std::min(MaxTextureSize(), kLargestPictureTile);
    DiscardBackground(display, 0);
    BackgroundSlot& slot = display.Backgrounds[0];
    for (std::int32_t row = 0; row < kBackgroundTilesPerSide && row * side < image.height; ++row) {
        for (std::int32_t column = 0; column < kBackgroundTilesPerSide && column * side < image.width;
             ++column) {
            BackgroundTile& tile = TileAt(slot, column, row);
            if (!CreateSpriteTexture(image, column * side, row * side, side, side, &tile.texture, nullptr, false,
                                     true)) {
                FailBackgroundLoad(display);
                return false;
            }
            tile.texWidth = tile.texHeight = tile.copiedWidth = tile.copiedHeight = side;
            slot.columns = std::max(slot.columns, column + 1);
        }
        slot.rows = row + 1;
    }
    DrawBackground(display, 0);
    return true;
}

void DrawBackground(Display& display, std::int32_t index) {
    if (!ValidSlot(index)) return;
    BackgroundSlot& slot = display.Backgrounds[static_cast<std::size_t>(index)];
    if (slot.columns == 0) return;
    FlushDrawing(display);
    // The picture replaces what is there, transparent or not.
    glDisable(GL_ALPHA_TEST);
    UseFirstTextureUnitOnly();
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (std::int32_t column = 0; column < slot.columns; ++column) {
        for (std::int32_t row = 0; row < slot.rows; ++row) {
            const BackgroundTile& tile = TileAt(slot, column, row);
            if (tile.texture == 0) continue;
            DrawTile(tile, static_cast<float>(column * tile.texWidth), static_cast<float>(row * tile.texHeight));
        }
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}

void DiscardBackground(Display& display, std::int32_t index) {
    if (!ValidSlot(index)) return;
    BackgroundSlot& slot = display.Backgrounds[static_cast<std::size_t>(index)];
    if (display.GlReady) {
        FlushDrawing(display);
        for (BackgroundTile& tile : slot.tiles) {
            if (tile.texture) glDeleteTextures(1, &tile.texture);
        }
    }
    slot = BackgroundSlot{};
}

void DiscardAllBackgrounds(Display& display) {
    for (std::int32_t index = 0; index < kBackgroundSlotCount; ++index)
        DiscardBackground(display, index);
}

} // namespace vlm
