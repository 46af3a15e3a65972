// The sprite store: 65536 numbered pictures, each decoded once and kept as
// an OpenGL texture, with animation frame sizes and pixel masks for
// collision tests. The top 32 ids hold the bitmap fonts' images.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "gfx2d/image_buffer.h"
#include "gfx2d/texture_pixels.h"

namespace vlm {

inline constexpr std::int32_t kSpriteCount = 65536;
inline constexpr std::int32_t kFirstFontSprite = 65504;
inline constexpr std::uint32_t kDefaultColourKey = 0x008000FF; // red 255, green 0, blue 128

struct SpriteRecord {
    std::uint32_t Texture = 0;    // GL texture name, 0 = none
    std::uint32_t MipTexture = 0; // square mipmapped copy, 0 = none
    float UMax = 1.0f;            // image width / texture width
    float VMax = 1.0f;            // image height / texture height
    std::int16_t TexWidth = -1;
    std::int16_t TexHeight = -1;
    std::int16_t Width = 0; // 0: the id is free
    std::int16_t Height = 0;
    std::int16_t FrameWidth = 0; // 0: no frames set
    std::int16_t FrameHeight = 0;
};

constexpr bool ValidSpriteId(std::int32_t id) {
    return id >= 0 && id < kSpriteCount;
}

// The column and row of an animation frame: frames run row by row from the
// image's top-left cell; a frame wider than the image keeps to row 0, and so
// does every frame of a record without a frame width.
struct FrameGridCell {
    std::int32_t column = 0, row = 0;
};
constexpr FrameGridCell FrameGridPosition(const SpriteRecord& record, std::int32_t frame) {
    // Only positive counts divide: -1 frames a row would overflow INT32_MIN / -1.
    const std::int32_t perRow = record.FrameWidth > 0 ? record.Width / record.FrameWidth : 0;
    if (perRow <= 0) return {frame, 0};
    return {frame % perRow, frame / perRow};
}

// Replaces *texture by a new w x h RGBA8 texture without pixels (linear,
// repeating) for screen copies to go into; it is left bound.
void CreateCopyTexture(std::uint32_t* texture, std::int32_t w, std::int32_t h);

// The largest texture side of the context, at most kMaxTextureSide.
std::int32_t LargestTextureSide();

// The sizes of an uploaded texture and of the picture part in it (smaller
// than asked when the picture is larger than a texture can be).
struct TextureSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t usedWidth = 0;
    std::int32_t usedHeight = 0;
};

// Uploads the w x h rectangle at (sx, sy) of the image (0 = up to the
// image's edge) into a new power-of-two texture, replacing *texture; with a
// mipTexture also a square mipmapped copy. Texels shown one to one (fonts,
// backgrounds) get nearest filtering and no colour bleeding, so the texels
// beyond the picture stay transparent black. nullopt when the rectangle is empty.
std::optional<TextureSize> CreateSpriteTexture(const ImageBuffer& image, std::int32_t sx, std::int32_t sy,
                                               std::int32_t w, std::int32_t h, std::uint32_t* texture,
                                               std::uint32_t* mipTexture, bool normalMap, bool oneToOne);

class SpriteStore {
  public:
    // glReady tells whether a GL context exists (until then no GL calls are made).
    explicit SpriteStore(const bool& glReady);

    SpriteRecord& Record(std::int32_t id) { return records_[static_cast<std::size_t>(id)]; }
    const SpriteRecord& Record(std::int32_t id) const { return records_[static_cast<std::size_t>(id)]; }

    // Deletes the id, then loads the picture into it. On failure the id
    // stays free and LastErrorCode is 3.
    bool LoadSprite(std::string_view name, std::int32_t id, bool normalMap = false);
    // LoadSprite with the font colour key (for the font ids).
    bool LoadFontPicture(std::string_view name, std::int32_t id);
    // LoadSprite, then the frame size when the picture loaded.
    void LoadAnimSprite(std::string_view name, std::int32_t id, std::int32_t frameWidth,
                        std::int32_t frameHeight);
    // Fills the id from a decoded picture (the upload of LoadSprite); false
    // without a GL context or for sizes the record cannot hold.
    bool SetSpriteImage(std::int32_t id, const ImageBuffer& image, bool normalMap = false);
    // Forgets the id's pixel mask (its picture changed on the GPU).
    void FreeMask(std::int32_t id) { masks_[static_cast<std::size_t>(id)].reset(); }
    // Frees the id's textures and mask; the frame size stays.
    void DeleteSprite(std::int32_t id);
    void DeleteAllSprites();

    // Both keys at once; pictures already loaded keep their transparency.
    void SetColourKey(std::uint32_t colour) { ColourKey = FontColourKey = colour; }
    // The lowest free id below the font ids, or -1.
    std::int32_t FindFreeSprite() const;

    // 1 when the opaque pixels of the two pictures overlap.
    std::int32_t SpriteCollision(std::int32_t a, std::int32_t xa, std::int32_t ya, std::int32_t b,
                                 std::int32_t xb, std::int32_t yb);
    std::int32_t FrameCollision(std::int32_t a, std::int32_t frameA, std::int32_t xa, std::int32_t ya,
                                std::int32_t b, std::int32_t frameB, std::int32_t xb, std::int32_t yb);
    // The alpha mask (TexWidth bytes a row, bottom row first), read back
    // from the texture on first use.
    const std::uint8_t* PixelMask(std::int32_t id);

    std::uint32_t ColourKey = kDefaultColourKey;
    std::uint32_t FontColourKey = 0;

  private:
    bool LoadPicture(std::string_view name, std::int32_t id, bool normalMap, std::uint32_t key);

    const bool& glReady_;
    std::vector<SpriteRecord> records_;
    std::vector<std::unique_ptr<std::uint8_t[]>> masks_;
};

} // namespace vlm
