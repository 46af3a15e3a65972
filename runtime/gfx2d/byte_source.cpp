#include "gfx2d/byte_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "files/media_name_resolver.h"
#include "files/memory_files.h"

namespace vlm {

namespace {

// No picture the decoders accept needs a larger file (8192 x 8192 pixels of
// 32-bit BMP are 256 MiB); larger files are refused before anything is read.
constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{512} << 20;

std::optional<std::vector<std::uint8_t>> ReadDiskFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    if (info.st_size > kMaxPictureFileBytes) return std::nullopt;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    const std::size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get());
    bytes.resize(got); // a file that shrank meanwhile reads as what is there
    return bytes;
}

} // namespace

std::optional<ByteSource> ByteSource::Open(std::string_view name) {
    if (name.empty() || name.size() > kMaxFileNameLength) return std::nullopt;
    if (IsMemoryFileName(name)) {
        const auto block = FindMemoryBlock(name);
        if (!block) return std::nullopt;
        return FromMemory(*block);
    }
    auto bytes = ReadDiskFile(PlatformPath(name));
    if (!bytes) return std::nullopt;
    return FromFileBytes(std::move(*bytes));
}

ByteSource ByteSource::FromMemory(std::span<const std::uint8_t> bytes) {
    ByteSource source;
    source.bytes_ = bytes;
    source.memoryRules_ = true;
    return source;
}

ByteSource ByteSource::FromFileBytes(std::vector<std::uint8_t> bytes) {
    ByteSource source;
    source.owned_ = std::move(bytes);
    source.bytes_ = source.owned_;
    return source;
}

ByteSource::ByteSource(ByteSource&& other) noexcept {
    *this = std::move(other);
}

ByteSource& ByteSource::operator=(ByteSource&& other) noexcept {
    const bool ownsBytes = other.bytes_.data() == other.owned_.data();
    owned_ = std::move(other.owned_);
    bytes_ = ownsBytes ? std::span<const std::uint8_t>(owned_) : other.bytes_;
    position_ = other.position_;
    memoryRules_ = other.memoryRules_;
    other.bytes_ = {};
    other.position_ = 0;
    return *this;
}

bool ByteSource::Read(std::span<std::uint8_t> out) {
    const auto got = Take(out.size());
    if (!got || (got->empty() && !out.empty())) return false;
    std::memcpy(out.data(), got->data(), got->size());
    std::memset(out.data() + got->size(), 0, out.size() - got->size());
    return true;
}

std::optional<std::span<const std::uint8_t>> ByteSource::Take(std::size_t n) {
    if (n > Remaining() && !memoryRules_) return std::nullopt;
    const std::size_t count = std::min(n, Remaining());
    const auto part = bytes_.subspan(position_, count);
    position_ += count;
    return part;
}

} // namespace vlm
