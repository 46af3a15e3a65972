// Texture upload for sprites, fonts and off-screen pictures.
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_pixels.h"

namespace vlm {

namespace {

void ReplaceTextureName(std::uint32_t* name) {
    if (*name) glDeleteTextures(1, name);
    GLuint fresh = 0;
    glGenTextures(1, &fresh);
    *name = fresh;
    glBindTexture(GL_TEXTURE_2D, fresh);
}

// A fresh texture name in place of the old, bound, repeating, with the filter.
void StartTexture(std::uint32_t* name, GLint filter) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    ReplaceTextureName(name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void UploadLevel(GLint level, const TexturePixels& pixels) {
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, pixels.width, pixels.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.rgba.data());
}

// The square copy with every smaller level, for drawing at reduced sizes.
void UploadMipmapped(TexturePixels pixels, std::uint32_t* mipTexture) {
    ReplaceTextureName(mipTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    MakeSquare(pixels);
    UploadLevel(0, pixels);
    for (GLint level = 1; pixels.width > 1 || pixels.height > 1; ++level) {
        pixels = NextMipLevel(pixels);
        UploadLevel(level, pixels);
    }
}

} // namespace

std::optional<TextureSize> CreateSpriteTexture(const ImageBuffer& image, std::int32_t sx, std::int32_t sy,
                                               std::int32_t w, std::int32_t h, std::uint32_t* texture,
                                               std::uint32_t* mipTexture, bool normalMap, bool oneToOne) {
    if (w == 0) w = image.width - sx;
    if (h == 0) h = image.height - sy;
    if (w <= 0 || h <= 0) return std::nullopt;
    const std::int32_t limit = LargestTextureSide();
    w = std::min(w, limit);
    h = std::min(h, limit);
    const std::int32_t tw = TextureSide(w), th = TextureSide(h);

    TexturePixels pixels = CopyToTexture(image, sx, sy, w, h, tw, th);
    if (!oneToOne) BleedColours(pixels);

    StartTexture(texture, oneToOne ? GL_NEAREST : GL_LINEAR);
    if (normalMap) pixels = NormalMapOf(pixels);
    UploadLevel(0, pixels);
    if (mipTexture) UploadMipmapped(std::move(pixels), mipTexture);
    return TextureSize{tw, th, w, h};
}

std::int32_t LargestTextureSide() {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return maxSize > 0 ? std::min(maxSize, kMaxTextureSide) : kMaxTextureSide;
}

void CreateCopyTexture(std::uint32_t* texture, std::int32_t w, std::int32_t h) {
    StartTexture(texture, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
}

} // namespace vlm
