#include "files/memory_files.h"

#include <cinttypes>
#include <cstdio>
#include <map>
#include <mutex>
#include <utility>

#include "files/file_channels.h"

namespace vlm {

namespace {

constexpr std::size_t kSizeOffset = 6;
constexpr std::size_t kSizeWidth = 8;
constexpr std::size_t kDotOffset = kSizeOffset + kSizeWidth;
constexpr std::size_t kAddressOffset = kDotOffset + 1;
constexpr std::size_t kAddressWidth = 16;
static_assert(kAddressOffset + kAddressWidth == kMemoryFileNameLength);

// Blocks by (address, size). The same block may be registered more than once
// (two loaders naming one buffer); each registration is counted.
struct BlockEntry {
    int count = 0;
    int writableCount = 0;
};

class MemoryFileRegistry {
public:
    void Add(MemoryFileNameFields key, bool writable) {
        std::lock_guard lock(mutex_);
        BlockEntry& entry = blocks_[{key.address, key.size}];
        ++entry.count;
        if (writable) ++entry.writableCount;
    }
    // True while the block keeps another registration.
    bool Remove(MemoryFileNameFields key, bool writable) {
        std::lock_guard lock(mutex_);
        const auto it = blocks_.find({key.address, key.size});
        if (it == blocks_.end()) return false;
        if (writable) --it->second.writableCount;
        if (--it->second.count > 0) return true;
        blocks_.erase(it);
        return false;
    }
    bool Contains(MemoryFileNameFields key, bool needWritable) {
        std::lock_guard lock(mutex_);
        const auto it = blocks_.find({key.address, key.size});
        return it != blocks_.end() && (!needWritable || it->second.writableCount > 0);
    }

private:
    std::mutex mutex_;
    std::map<std::pair<std::uintptr_t, std::uint32_t>, BlockEntry> blocks_;
};

MemoryFileRegistry& TheRegistry() {
    // Never destroyed: memory files that are themselves static unregister during the exit.
    static MemoryFileRegistry& registry = *new MemoryFileRegistry;
    return registry;
}

// A field of exactly `width` characters: blanks, then at least one hex digit.
std::optional<std::uint64_t> ParseHexField(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    if (i == field.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::optional<std::span<std::uint8_t>> Find(std::string_view name, bool needWritable) {
    const auto fields = ParseMemoryFileName(name);
    if (!fields || !TheRegistry().Contains(*fields, needWritable)) return std::nullopt;
    return std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(fields->address), fields->size);
}

} // namespace

bool IsMemoryFileName(std::string_view name) { return name.starts_with(kMemoryFilePrefix); }

DynString MemoryFileName(std::span<const std::uint8_t> block) {
    char text[kMemoryFileNameLength + 1];
    std::snprintf(text, sizeof text, "mem://%8" PRIx32 ".%16" PRIxPTR, static_cast<std::uint32_t>(block.size()),
                  reinterpret_cast<std::uintptr_t>(block.data()));
    return DynString(text);
}

std::optional<MemoryFileNameFields> ParseMemoryFileName(std::string_view name) {
    if (name.size() != kMemoryFileNameLength || !IsMemoryFileName(name) || name[kDotOffset] != '.') {
        return std::nullopt;
    }
    const auto size = ParseHexField(name.substr(kSizeOffset, kSizeWidth));
    const auto address = ParseHexField(name.substr(kAddressOffset, kAddressWidth));
    if (!size || !address) return std::nullopt;
    if constexpr (sizeof(std::uintptr_t) < sizeof(std::uint64_t)) {
        if (*address > UINTPTR_MAX) return std::nullopt;
    }
    return MemoryFileNameFields{static_cast<std::uint32_t>(*size), static_cast<std::uintptr_t>(*address)};
}

MemoryFile::MemoryFile(void* data, std::size_t size) : MemoryFile(data, size, true) {}
MemoryFile::MemoryFile(const void* data, std::size_t size) : MemoryFile(data, size, false) {}

MemoryFile::MemoryFile(const void* data, std::size_t size, bool writable)
    : block_(static_cast<const std::uint8_t*>(data), size), writable_(writable) {
    if (size > kMaxMemoryFileSize) return;
    name_ = MemoryFileName(block_);
    TheRegistry().Add(Key(), writable_);
    registered_ = true;
}

MemoryFile::~MemoryFile() { Unregister(); }

MemoryFile::MemoryFile(MemoryFile&& other) noexcept
    : block_(other.block_), name_(std::move(other.name_)), registered_(std::exchange(other.registered_, false)),
      writable_(other.writable_) {
    other.name_.Clear();
}

MemoryFile& MemoryFile::operator=(MemoryFile&& other) noexcept {
    if (this != &other) {
        Unregister();
        block_ = other.block_;
        name_ = std::move(other.name_);
        other.name_.Clear();
        registered_ = std::exchange(other.registered_, false);
        writable_ = other.writable_;
    }
    return *this;
}

void MemoryFile::Unregister() noexcept {
    if (!registered_) return;
    registered_ = false;
    // Channels still reading a block nobody registers any more would read freed memory.
    if (!TheRegistry().Remove(Key(), writable_) && !block_.empty()) TheFileChannels().CloseReadersOf(block_);
}

MemoryFileNameFields MemoryFile::Key() const {
    return {static_cast<std::uint32_t>(block_.size()), reinterpret_cast<std::uintptr_t>(block_.data())};
}

std::optional<std::span<std::uint8_t>> FindMemoryBlock(std::string_view name) { return Find(name, false); }
std::optional<std::span<std::uint8_t>> FindWritableMemoryBlock(std::string_view name) { return Find(name, true); }

} // namespace vlm
