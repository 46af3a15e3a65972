// DynString: the text value of programs and of the runtime.
//
// An owned, growable, NUL-terminated single-byte text with value semantics.
// An empty value points at one shared read-only empty text and owns nothing;
// a non-empty value owns its buffer alone (copies are deep).
#pragma once

#include <compare>
#include <concepts>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>

namespace vlm {

class DynString {
public:
    DynString() noexcept;
    DynString(const char* text);          // StringFromText; null gives the empty value
    DynString(std::string_view text);     // StringFromText over exactly these bytes
    explicit DynString(std::int32_t value); // base-10 digits
    explicit DynString(double value);       // NumberToText
    explicit DynString(float value);        // NumberToText of the widened value
    DynString(const DynString& other);
    DynString(DynString&& other) noexcept;
    DynString& operator=(const DynString& other);
    DynString& operator=(DynString&& other) noexcept;
    DynString& operator=(const char* text); // exact-size buffer (length + 1)
    ~DynString();

    const char* c_str() const noexcept { return data_; }
    std::string_view view() const noexcept { return {data_, length_}; }
    std::uint32_t length() const noexcept { return length_; }
    std::uint32_t capacity() const noexcept { return capacity_; }
    bool empty() const noexcept { return length_ == 0; }
    char operator[](std::uint32_t i) const noexcept { return data_[i]; }

    void Clear() noexcept;
    // Makes room for n text bytes plus terminator (capacity rounded to 16).
    void Reserve(std::uint32_t n, bool keep);
    // Room for n bytes that outside code fills; finish with SyncLength().
    char* WritableBuffer(std::uint32_t n, bool keep);
    // Length = bytes before the first NUL inside the buffer.
    void SyncLength() noexcept;
    // Cuts the text to n bytes; only 0 <= n <= length is accepted.
    bool Truncate(std::int64_t n) noexcept;
    // Removes trailing control bytes (0..31).
    void TrimControl() noexcept;

    DynString& Append(std::string_view text);
    DynString& operator+=(std::string_view text) { return Append(text); }
    DynString& operator+=(const char* text) { return Append(text ? std::string_view(text) : std::string_view()); }
    DynString& operator+=(const DynString& text) { return Append(text.view()); }
    DynString& operator+=(std::int32_t value);
    DynString& operator+=(double value);
    DynString& operator+=(float value);

    void MakeUpper() noexcept;
    void MakeLower() noexcept;

    friend void swap(DynString& a, DynString& b) noexcept;

private:
    void Release() noexcept;

    char* data_;
    std::uint32_t capacity_;
    std::uint32_t length_;
};

// Concatenation: at least one side is a DynString; numbers become text.
template <class T>
concept TextOrNumber = std::convertible_to<T, std::string_view> || std::same_as<T, DynString> ||
                       std::same_as<T, std::int32_t> || std::same_as<T, double> || std::same_as<T, float>;

template <TextOrNumber R>
DynString operator+(const DynString& left, const R& right) {
    DynString out(left);
    out += right;
    return out;
}
template <TextOrNumber L>
    requires(!std::same_as<L, DynString>)
DynString operator+(const L& left, const DynString& right) {
    DynString out(left);
    out += right;
    return out;
}

// Byte-wise comparison (strcmp); equality of two values compares lengths first.
bool operator==(const DynString& a, const DynString& b) noexcept;
bool operator==(const DynString& a, const char* b) noexcept;
std::strong_ordering operator<=>(const DynString& a, const DynString& b) noexcept;
std::strong_ordering operator<=>(const DynString& a, const char* b) noexcept;

// String against number: the text is converted with atof (atoi for integers).
int CompareStringNumber(const DynString& s, double x) noexcept; // -1, 0 or 1
int CompareStringNumber(const DynString& s, std::int32_t x) noexcept;
bool operator==(const DynString& s, double x) noexcept;
bool operator==(const DynString& s, std::int32_t x) noexcept;
std::partial_ordering operator<=>(const DynString& s, double x) noexcept;
std::strong_ordering operator<=>(const DynString& s, std::int32_t x) noexcept;

DynString StringUpper(const DynString& s);
DynString StringLower(const DynString& s);
DynString StringMid(const DynString& source, std::int32_t start, std::int32_t count);
// 0-based position of search in text at or after start, or -1.
std::int32_t StringFind(std::string_view text, std::string_view search, std::int32_t start);
// Position of the first byte in (or not in) the set, or -1.
std::int32_t StringFindFirstOf(std::string_view text, std::string_view set);
std::int32_t StringFindFirstNotOf(std::string_view text, std::string_view set);
// Replaces every match left to right; inserted text is never searched again.
// An empty search text returns the source unchanged.
DynString StringReplaceAll(const DynString& source, std::string_view search, std::string_view replacement);
DynString StringToHex(std::span<const std::uint8_t> bytes);

std::ostream& operator<<(std::ostream& out, const DynString& s);

} // namespace vlm
