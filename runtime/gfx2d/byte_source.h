// The one reader under every image decoder: a run of bytes with a read
// position. Disk files and registered "mem://" blocks share this code path;
// they differ only in how a read that runs past the end is treated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vlm {

class ByteSource {
  public:
    // A disk file (read whole) or, for a "mem://" name, the registered block.
    // nullopt when the file does not exist or the name is no live block.
    static std::optional<ByteSource> Open(std::string_view name);
    // Bytes read with memory-block rules: a read past the end yields what is
    // left and zeros after it.
    static ByteSource FromMemory(std::span<const std::uint8_t> bytes);
    // Bytes read with disk-file rules: a read succeeds only if every byte is there.
    static ByteSource FromFileBytes(std::vector<std::uint8_t> bytes);

    // Fills out. File rules: fails unless every byte is there. Memory rules:
    // copies what is left, zero-fills the rest, fails only if nothing is left.
    bool Read(std::span<std::uint8_t> out);
    // The next n bytes in place (fewer at the end under memory rules, none
    // under file rules when short). Advances past what it returns.
    std::optional<std::span<const std::uint8_t>> Take(std::size_t n);
    void Rewind() { position_ = 0; }

    bool IsMemory() const { return memoryRules_; }
    std::size_t Size() const { return bytes_.size(); }
    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return bytes_.size() - position_; }
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

    ByteSource(ByteSource&& other) noexcept;
    ByteSource& operator=(ByteSource&& other) noexcept;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

  private:
    ByteSource() = default;

    std::vector<std::uint8_t> owned_;
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool memoryRules_ = false;
};

// Little-endian fields of the files read through a ByteSource.
inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Names longer than this do not open (the runtime's name buffers hold 1024 bytes).
inline constexpr std::size_t kMaxFileNameLength = 1023;

} // namespace vlm
