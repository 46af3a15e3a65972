#include "values/dyn_string.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>
#include <utility>

#include "files/error_state.h"
#include "values/number_text.h"

namespace vlm {

namespace {

// The one shared empty text. It is never written: every growth path
// allocates before it writes.
const char kEmptyText[1] = {'\0'};

char* SharedEmpty() { return const_cast<char*>(kEmptyText); }

// Largest text the 32-bit length and capacity fields can describe safely.
constexpr std::uint32_t kMaxLength = 0x7FFFFFE0u;

std::uint32_t CheckedLength(std::size_t n) {
    if (n > kMaxLength) RaiseRuntimeError(kErrorOutOfMemory);
    return static_cast<std::uint32_t>(n);
}

} // namespace

DynString::DynString() noexcept : data_(SharedEmpty()), capacity_(0), length_(0) {}

DynString::DynString(const char* text) : DynString(text ? std::string_view(text) : std::string_view()) {}

DynString::DynString(std::string_view text) : DynString() {
    const std::uint32_t n = CheckedLength(text.size());
    if (n == 0) return;
    Reserve(n, false);
    std::memcpy(data_, text.data(), n);
    data_[n] = '\0';
    length_ = n;
}

DynString::DynString(std::int32_t value) : DynString() {
    Reserve(15, false);
    length_ = static_cast<std::uint32_t>(WriteIntegerText(value, data_));
}

DynString::DynString(double value) : DynString() { *this = NumberToText(value); }

DynString::DynString(float value) : DynString(static_cast<double>(value)) {}

DynString::DynString(const DynString& other) : DynString(other.view()) {}

DynString::DynString(DynString&& other) noexcept : DynString() { swap(*this, other); }

DynString& DynString::operator=(const DynString& other) {
    DynString temporary(other);
    swap(*this, temporary);
    return *this;
}

DynString& DynString::operator=(DynString&& other) noexcept {
    DynString temporary(std::move(other));
    swap(*this, temporary);
    return *this;
}

DynString& DynString::operator=(const char* text) {
    const std::uint32_t n = text ? CheckedLength(std::strlen(text)) : 0;
    if (n == 0) {
        Clear();
        return *this;
    }
    char* fresh = new (std::nothrow) char[n + 1];
    if (!fresh) RaiseRuntimeError(kErrorOutOfMemory);
    std::memcpy(fresh, text, n);
    fresh[n] = '\0';
    Release();
    data_ = fresh;
    capacity_ = n + 1;
    length_ = n;
    return *this;
}

DynString::~DynString() {
    Release();
    data_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

void swap(DynString& a, DynString& b) noexcept {
    std::swap(a.data_, b.data_);
    std::swap(a.capacity_, b.capacity_);
    std::swap(a.length_, b.length_);
}

void DynString::Release() noexcept {
    if (data_ && data_ != SharedEmpty()) delete[] data_;
}

void DynString::Clear() noexcept {
    Release();
    data_ = SharedEmpty();
    capacity_ = 0;
    length_ = 0;
}

void DynString::Reserve(std::uint32_t n, bool keep) {
    if (n == 0) return;
    CheckedLength(n); // before n + 1 is formed: it would wrap for the largest n
    if (capacity_ >= n + 1) return;
    const std::uint32_t capacity = ((n + 1) & ~15u) + 16;
    char* fresh = new (std::nothrow) char[capacity];
    if (!fresh) RaiseRuntimeError(kErrorOutOfMemory);
    if (keep && length_ != 0) {
        std::memcpy(fresh, data_, length_);
        fresh[length_] = '\0';
    } else {
        // The caller sets the length itself; zeroing keeps every byte up to
        // it defined in the meantime.
        std::memset(fresh, 0, capacity);
    }
    Release();
    data_ = fresh;
    capacity_ = capacity;
}

char* DynString::WritableBuffer(std::uint32_t n, bool keep) {
    // At least one byte, so the caller never receives the shared empty text.
    Reserve(std::max<std::uint32_t>(n, 1), keep);
    return data_;
}

void DynString::SyncLength() noexcept {
    if (capacity_ == 0) {
        length_ = 0;
        return;
    }
    const void* nul = std::memchr(data_, '\0', capacity_);
    if (nul) {
        length_ = static_cast<std::uint32_t>(static_cast<const char*>(nul) - data_);
    } else {
        length_ = capacity_ - 1;
        data_[length_] = '\0';
    }
}

bool DynString::Truncate(std::int64_t n) noexcept {
    if (n < 0 || n > static_cast<std::int64_t>(length_)) return false;
    if (static_cast<std::uint32_t>(n) == length_) return true;
    data_[n] = '\0';
    length_ = static_cast<std::uint32_t>(n);
    return true;
}

void DynString::TrimControl() noexcept {
    while (length_ > 0 && static_cast<unsigned char>(data_[length_ - 1]) <= 31) {
        data_[--length_] = '\0';
    }
}

DynString& DynString::Append(std::string_view text) {
    if (text.empty()) return *this;
    const std::uint32_t needed = CheckedLength(std::size_t{length_} + text.size());
    if (capacity_ < needed + 1) {
        // Grow by half again at least, so a text built from many short
        // pieces costs linear time. The text may live in our own buffer.
        const std::uint32_t grown = std::min<std::uint32_t>(kMaxLength, capacity_ + capacity_ / 2);
        if (text.data() >= data_ && text.data() < data_ + length_) {
            DynString copy(text);
            Reserve(std::max(needed, grown), true);
            std::memcpy(data_ + length_, copy.data_, copy.length_);
        } else {
            Reserve(std::max(needed, grown), true);
            std::memcpy(data_ + length_, text.data(), text.size());
        }
    } else {
        std::memmove(data_ + length_, text.data(), text.size());
    }
    length_ = needed;
    data_[length_] = '\0';
    return *this;
}

DynString& DynString::operator+=(std::int32_t value) {
    char digits[16];
    const std::size_t n = WriteIntegerText(value, digits);
    return Append(std::string_view(digits, n));
}

DynString& DynString::operator+=(double value) { return Append(NumberToText(value).view()); }

DynString& DynString::operator+=(float value) { return *this += static_cast<double>(value); }

void DynString::MakeUpper() noexcept {
    for (std::uint32_t i = 0; i < length_; ++i) {
        if (data_[i] >= 'a' && data_[i] <= 'z') data_[i] = static_cast<char>(data_[i] - 'a' + 'A');
    }
}

void DynString::MakeLower() noexcept {
    for (std::uint32_t i = 0; i < length_; ++i) {
        if (data_[i] >= 'A' && data_[i] <= 'Z') data_[i] = static_cast<char>(data_[i] - 'A' + 'a');
    }
}

bool operator==(const DynString& a, const DynString& b) noexcept {
    return a.length() == b.length() && std::strcmp(a.c_str(), b.c_str()) == 0;
}

bool operator==(const DynString& a, const char* b) noexcept { return std::strcmp(a.c_str(), b ? b : "") == 0; }

std::strong_ordering operator<=>(const DynString& a, const DynString& b) noexcept {
    return std::strcmp(a.c_str(), b.c_str()) <=> 0;
}

std::strong_ordering operator<=>(const DynString& a, const char* b) noexcept {
    return std::strcmp(a.c_str(), b ? b : "") <=> 0;
}

int CompareStringNumber(const DynString& s, double x) noexcept {
    const double v = std::atof(s.c_str());
    return v < x ? -1 : (v > x ? 1 : 0);
}

int CompareStringNumber(const DynString& s, std::int32_t x) noexcept {
    const int v = std::atoi(s.c_str());
    return v < x ? -1 : (v > x ? 1 : 0);
}

bool operator==(const DynString& s, double x) noexcept { return std::atof(s.c_str()) == x; }
bool operator==(const DynString& s, std::int32_t x) noexcept { return std::atoi(s.c_str()) == x; }

std::partial_ordering operator<=>(const DynString& s, double x) noexcept { return std::atof(s.c_str()) <=> x; }

std::strong_ordering operator<=>(const DynString& s, std::int32_t x) noexcept {
    return std::atoi(s.c_str()) <=> x;
}

DynString StringUpper(const DynString& s) {
    DynString out(s);
    out.MakeUpper();
    return out;
}

DynString StringLower(const DynString& s) {
    DynString out(s);
    out.MakeLower();
    return out;
}

DynString StringMid(const DynString& source, std::int32_t start, std::int32_t count) {
    const std::int64_t length = source.length();
    std::int64_t n = count < 0 ? length : count;
    if (std::int64_t{start} + n > length) n = length - start;
    if (n <= 0 || start < 0 || start >= length) return DynString();
    return DynString(source.view().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(n)));
}

std::int32_t StringFind(std::string_view text, std::string_view search, std::int32_t start) {
    if (start < 0 || static_cast<std::size_t>(start) > text.size()) return -1;
    const std::size_t at = text.find(search, static_cast<std::size_t>(start));
    return at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

std::int32_t StringFindFirstOf(std::string_view text, std::string_view set) {
    const std::size_t at = text.find_first_of(set);
    return at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

std::int32_t StringFindFirstNotOf(std::string_view text, std::string_view set) {
    const std::size_t at = text.find_first_not_of(set);
    return at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

DynString StringReplaceAll(const DynString& source, std::string_view search, std::string_view replacement) {
    if (search.empty()) return source;
    const std::string_view text = source.view();
    DynString out;
    std::size_t p = 0;
    for (std::size_t m = text.find(search); m != std::string_view::npos; m = text.find(search, p)) {
        out.Append(text.substr(p, m - p));
        out.Append(replacement);
        p = m + search.size();
    }
    if (p == 0) return source;
    out.Append(text.substr(p));
    return out;
}

DynString StringToHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    DynString out;
    if (bytes.empty()) return out;
    const std::uint32_t n = CheckedLength(bytes.size() * 2);
    char* p = out.WritableBuffer(n, false);
    for (std::uint8_t b : bytes) {
        *p++ = kDigits[b >> 4];
        *p++ = kDigits[b & 15];
    }
    *p = '\0';
    out.SyncLength();
    return out;
}

std::ostream& operator<<(std::ostream& out, const DynString& s) { return out << s.view(); }

} // namespace vlm
