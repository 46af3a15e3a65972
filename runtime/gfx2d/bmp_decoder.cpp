// The runtime's own BMP reader: core (12-byte) and info (40-byte) headers,
// 1, 4, 8, 24 and 32 bits per pixel, rows bottom-up or top-down. Every field
// is checked against the bytes that exist before it is used.
#include <algorithm>
#include <array>
#include <vector>

#include "gfx2d/byte_source.h"
#include "gfx2d/image_decoders.h"

namespace vlm {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

struct BmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // as stored: negative means top-down
    std::uint32_t bitCount = 0;
    // Palette entries as stored in the file, blue, green, red, unused.
    std::vector<std::array<std::uint8_t, 4>> palette;
};

// Reads the header area (file offset 14 up to the pixel data).
bool ReadHeaderArea(ByteSource& source, BmpHeader& header) {
    std::array<std::uint8_t, 12> fileHeader{};
    if (!source.Read(fileHeader)) return false;
    const std::uint32_t pixelOffset = Le32(&fileHeader[8]);
    // The area must hold at least the header size and must exist in full.
    if (pixelOffset < kFileHeaderSize + 4 || pixelOffset > source.Size()) return false;
    const std::uint32_t areaSize = pixelOffset - kFileHeaderSize;
    const auto area = source.Take(areaSize);
    if (!area || area->size() != areaSize) return false;
    const std::uint8_t* p = area->data();

    const std::uint32_t headerSize = Le32(p);
    if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize) return false;
    if (areaSize < headerSize) return false;
    std::size_t entrySize;
    if (headerSize == kCoreHeaderSize) {
        header.width = Le16(p + 4);
        header.height = Le16(p + 6);
        header.bitCount = Le16(p + 10);
        entrySize = 3;
    } else {
        header.width = static_cast<std::int32_t>(Le32(p + 4));
        header.height = static_cast<std::int32_t>(Le32(p + 8));
        header.bitCount = Le16(p + 14);
        entrySize = 4;
    }
    if (header.bitCount <= 8) {
        // Entries beyond what the depth can index are never used.
        const std::size_t fits = (areaSize - headerSize) / entrySize;
        const std::size_t count = std::min<std::size_t>(fits, std::size_t{1} << header.bitCount);
        header.palette.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* entry = p + headerSize + i * entrySize;
            header.palette[i] = {entry[0], entry[1], entry[2], 0};
        }
    }
    return true;
}

// One row of palette indices to pixels; false on an index past the palette.
bool ConvertPaletteRow(const BmpHeader& header, const std::uint8_t* row, std::uint8_t* out,
                       std::int32_t width, std::uint32_t key) {
    const std::size_t paletteSize = header.palette.size();
    for (std::int32_t x = 0; x < width; ++x) {
        std::size_t index;
        switch (header.bitCount) {
        case 1:
            index = (row[x / 8] >> (7 - x % 8)) & 1;
            break;
        case 4:
            index = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
            break;
        default:
            index = row[x];
            break;
        }
        if (index >= paletteSize) return false;
        const auto& entry = header.palette[index];
        PutKeyedPixel(out + x * 4, entry[2], entry[1], entry[0], key);
    }
    return true;
}

void ConvertDirectRow(std::uint32_t bitCount, const std::uint8_t* row, std::uint8_t* out, std::int32_t width,
                      std::uint32_t key) {
    const int step = static_cast<int>(bitCount / 8); // the fourth byte of 32-bit pixels is ignored
    for (std::int32_t x = 0; x < width; ++x, row += step, out += 4) {
        PutKeyedPixel(out, row[2], row[1], row[0], key);
    }
}

bool DecodeBmpPixels(ImageBuffer& image, ByteSource& source, std::uint32_t key) {
    std::array<std::uint8_t, 2> magic{};
    if (!source.Read(magic) || magic[0] != 'B' || magic[1] != 'M') return false;
    BmpHeader header;
    if (!ReadHeaderArea(source, header)) return false;

    const std::uint32_t bits = header.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    const bool bottomUp = header.height > 0;
    const std::int64_t width = header.width;
    const std::int64_t height = bottomUp ? header.height : -header.height;
    if (!ImageSizeAllowed(width, height)) return false;

    const std::size_t stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(height);
    const auto data = source.Take(pixelBytes);
    if (!data || data->empty()) return false;

    if (!image.Allocate(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height))) return false;
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::int32_t fileRow = bottomUp ? image.height - 1 - y : y;
        const std::size_t rowStart = static_cast<std::size_t>(fileRow) * stride;
        // A memory block may end early: pixels past its end stay transparent black.
        if (rowStart >= data->size()) continue;
        const std::size_t present = std::min(stride, data->size() - rowStart);
        const auto count = static_cast<std::int32_t>(std::min<std::size_t>(present * 8 / bits, image.width));
        const std::uint8_t* row = data->data() + rowStart;
        std::uint8_t* out = image.Row(y).data();
        if (bits <= 8) {
            if (!ConvertPaletteRow(header, row, out, count, key)) return false;
        } else {
            ConvertDirectRow(bits, row, out, count, key);
        }
    }
    return true;
}

} // namespace

bool DecodeBmpImage(ImageBuffer& image, ByteSource& source, std::uint32_t colourKey) {
    if (DecodeBmpPixels(image, source, colourKey)) return true;
    image.Clear();
    return false;
}

bool LoadBmpImage(ImageBuffer& image, std::string_view name, std::uint32_t colourKey) {
    auto source = ByteSource::Open(name);
    if (!source) {
        image.Clear();
        return false;
    }
    return DecodeBmpImage(image, *source, colourKey);
}

} // namespace vlm
