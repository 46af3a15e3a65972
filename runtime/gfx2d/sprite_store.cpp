#include "gfx2d/sprite_store.h"

#include <GL/gl.h>
#include <algorithm>

#include "files/error_state.h"
#include "files/media_name_resolver.h"
#include "gfx2d/image_decoders.h"

namespace vlm {

SpriteStore::SpriteStore(const bool& glReady)
    : glReady_(glReady), records_(kSpriteCount), masks_(kSpriteCount) {}

void SpriteStore::DeleteSprite(std::int32_t id) {
    SpriteRecord& record = Record(id);
    if (glReady_) {
        if (record.Texture) glDeleteTextures(1, &record.Texture);
        if (record.MipTexture) glDeleteTextures(1, &record.MipTexture);
    }
    record.Texture = record.MipTexture = 0;
    record.TexWidth = record.TexHeight = -1;
    record.Width = record.Height = 0;
    record.UMax = record.VMax = 1.0f;
    masks_[static_cast<std::size_t>(id)].reset();
}

void SpriteStore::DeleteAllSprites() {
    for (std::int32_t id = 0; id < kSpriteCount; ++id)
        DeleteSprite(id);
}

bool SpriteStore::SetSpriteImage(std::int32_t id, const ImageBuffer& image, bool normalMap) {
    // Sizes beyond the record's 16-bit fields would be stored wrongly.
    if (!glReady_ || !ImageSizeAllowed(image.width, image.height)) return false;
    SpriteRecord& record = Record(id);
    const bool font = id >= kFirstFontSprite;
    const auto size = CreateSpriteTexture(image, 0, 0, 0, 0, &record.Texture,
                                          font ? nullptr : &record.MipTexture, normalMap && !font, font);
    if (!size) return false;
    record.TexWidth = static_cast<std::int16_t>(size->width);
    record.TexHeight = static_cast<std::int16_t>(size->height);
    // A picture larger than a texture keeps the part that was uploaded.
    record.Width = static_cast<std::int16_t>(size->usedWidth);
    record.Height = static_cast<std::int16_t>(size->usedHeight);
    record.UMax = static_cast<float>(record.Width) / static_cast<float>(record.TexWidth);
    record.VMax = static_cast<float>(record.Height) / static_cast<float>(record.TexHeight);
    return true;
}

bool SpriteStore::LoadSprite(std::string_view name, std::int32_t id, bool normalMap) {
    return LoadPicture(name, id, normalMap, ColourKey);
}

bool SpriteStore::LoadFontPicture(std::string_view name, std::int32_t id) {
    return LoadPicture(name, id, false, FontColourKey);
}

bool SpriteStore::LoadPicture(std::string_view name, std::int32_t id, bool normalMap, std::uint32_t key) {
    TheErrorState().LastErrorCode = kErrorSuccess;
    DeleteSprite(id);
    const ResolvedName resolved = MediaNameResolver(name);
    if (resolved.found) {
        ImageBuffer image;
        if (LoadImageFile(image, resolved.name.view(), key) && SetSpriteImage(id, image, normalMap)) return true;
    }
    SetErrorCode(kErrorNoSuchFile);
    return false;
}

void SpriteStore::LoadAnimSprite(std::string_view name, std::int32_t id, std::int32_t frameWidth,
                                 std::int32_t frameHeight) {
    LoadSprite(name, id);
    SpriteRecord& record = Record(id);
    if (record.Width < 1) return;
    // A negative size means no frames, as 0 does; sizes beyond 16 bits stop at the largest picture side.
    record.FrameWidth = static_cast<std::int16_t>(std::clamp(frameWidth, 0, kMaxImageSide));
    record.FrameHeight = static_cast<std::int16_t>(std::clamp(frameHeight, 0, kMaxImageSide));
}

std::int32_t SpriteStore::FindFreeSprite() const {
    for (std::int32_t id = 0; id < kFirstFontSprite; ++id) {
        if (Record(id).Width == 0) return id;
    }
    return -1;
}

} // namespace vlm
