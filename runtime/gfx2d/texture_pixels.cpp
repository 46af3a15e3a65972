#include "gfx2d/texture_pixels.h"

#include <algorithm>
#include <cmath>

namespace vlm {

std::int32_t TextureSide(std::int32_t n, std::int32_t smallest, std::int32_t largest) {
    // Refused before doubling, so the side never passes the 32-bit range.
    if (n > largest) return 0;
    std::int32_t side = smallest;
    while (side < n)
        side *= 2;
    return side <= largest ? side : 0;
}

TexturePixels CopyToTexture(const ImageBuffer& image, std::int32_t sx, std::int32_t sy, std::int32_t w,
                            std::int32_t h, std::int32_t tw, std::int32_t th) {
    TexturePixels texture{tw, th, std::vector<std::uint8_t>(static_cast<std::size_t>(tw) * th * 4, 0)};
    const std::int32_t x0 = std::max(sx, 0), x1 = std::min({sx + tw, sx + w, image.width});
    const std::int32_t y0 = std::max(sy, 0), y1 = std::min({sy + th, sy + h, image.height});
    if (x0 >= x1) return texture;
    for (std::int32_t py = y0; py < y1; ++py) {
        const std::int32_t row = sy + h - 1 - py;
        if (row < 0 || row >= th) continue;
        std::copy_n(&image.Row(py)[static_cast<std::size_t>(x0) * 4], static_cast<std::size_t>(x1 - x0) * 4,
                    texture.At(x0 - sx, row));
    }
    return texture;
}

void BleedColours(TexturePixels& texture) {
    const std::int32_t tw = texture.width, th = texture.height;
    for (std::int32_t y = 0; y < th; ++y) {
        for (std::int32_t x = 0; x < tw; ++x) {
            std::uint8_t* texel = texture.At(x, y);
            if (texel[3] != 0) continue;
            int sum[3] = {0, 0, 0};
            int count = 0;
            for (std::int32_t ny = y - 1; ny <= y + 1; ++ny) {
                for (std::int32_t nx = x - 1; nx <= x + 1; ++nx) {
                    if ((nx == x && ny == y) || nx < 1 || ny < 1 || nx > tw - 2 || ny > th - 2) continue;
                    // Filled texels keep alpha 0, so they never spread further.
                    const std::uint8_t* n = texture.At(nx, ny);
                    if (n[3] == 0) continue;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += n[c];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c) {
                texel[c] = count ? static_cast<std::uint8_t>((sum[c] + count / 2) / count) : 0;
            }
        }
    }
}

TexturePixels NormalMapOf(const TexturePixels& heights) {
    const std::int32_t w = heights.width, h = heights.height;
    TexturePixels normals{w, h, std::vector<std::uint8_t>(heights.rgba.size())};
    auto height = [&](std::int32_t x, std::int32_t y) {
        return heights.At((x + w) % w, (y + h) % h)[2] / 255.0;
    };
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            const double gx = (height(x + 1, y - 1) + 2 * height(x + 1, y) + height(x + 1, y + 1)) -
                              (height(x - 1, y - 1) + 2 * height(x - 1, y) + height(x - 1, y + 1));
            const double gy = (height(x - 1, y + 1) + 2 * height(x, y + 1) + height(x + 1, y + 1)) -
                              (height(x - 1, y - 1) + 2 * height(x, y - 1) + height(x + 1, y - 1));
            const double length = std::sqrt(gx * gx + gy * gy + 1);
            const double n[3] = {-gx / length, gy / length, 1 / length};
            std::uint8_t* out = normals.At(x, y);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>((n[c] + 1) * 0.5 * 255);
            out[3] = heights.At(x, y)[3];
        }
    }
    return normals;
}

void MakeSquare(TexturePixels& texture) {
    // In place: each output texel only reads texels at or after its own position.
    while (texture.width > texture.height) {
        const std::int32_t half = texture.width / 2;
        for (std::int32_t y = 0; y < texture.height; ++y) {
            for (std::int32_t x = 0; x < half; ++x) {
                const std::uint8_t* a =
                    &texture.rgba[(static_cast<std::size_t>(y) * texture.width + 2 * x) * 4];
                std::uint8_t* out = &texture.rgba[(static_cast<std::size_t>(y) * half + x) * 4];
                for (int c = 0; c < 4; ++c)
                    out[c] = static_cast<std::uint8_t>((a[c] + a[c + 4]) >> 1);
            }
        }
        texture.width = half;
    }
    while (texture.height > texture.width) {
        const std::int32_t half = texture.height / 2;
        for (std::int32_t y = 0; y < half; ++y) {
            for (std::int32_t x = 0; x < texture.width; ++x) {
                const std::uint8_t* a = texture.At(x, 2 * y);
                const std::uint8_t* b = texture.At(x, 2 * y + 1);
                std::uint8_t* out = texture.At(x, y);
                for (int c = 0; c < 4; ++c)
                    out[c] = static_cast<std::uint8_t>((a[c] + b[c]) >> 1);
            }
        }
        texture.height = half;
    }
    texture.rgba.resize(static_cast<std::size_t>(texture.width) * texture.height * 4);
}

TexturePixels NextMipLevel(const TexturePixels& level) {
    const std::int32_t w = std::max(level.width / 2, 1), h = std::max(level.height / 2, 1);
    TexturePixels next{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4)};
    auto sample = [&](std::int32_t x, std::int32_t y) {
        return level.At(std::min(x, level.width - 1), std::min(y, level.height - 1));
    };
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint8_t* a = sample(2 * x, 2 * y);
            const std::uint8_t* b = sample(2 * x + 1, 2 * y);
            const std::uint8_t* c = sample(2 * x, 2 * y + 1);
            const std::uint8_t* d = sample(2 * x + 1, 2 * y + 1);
            const bool lastColumn = x == w - 1, lastRow = y == h - 1;
            std::uint8_t* out = next.At(x, y);
            for (int k = 0; k < 4; ++k) {
                int value;
                if (lastColumn && lastRow)
                    value = a[k];
                else if (lastColumn)
                    value = (2 * a[k] + c[k]) / 3;
                else if (lastRow)
                    value = (2 * a[k] + b[k]) / 3;
                else
                    value = (4 * a[k] + 2 * b[k] + 2 * c[k] + d[k]) / 9;
                out[k] = static_cast<std::uint8_t>(value);
            }
        }
    }
    return next;
}

} // namespace vlm
