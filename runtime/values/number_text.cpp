#include "values/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace vlm {

DynString NumberToText(double x) {
    DynString out;
    char* buffer = out.WritableBuffer(63, false);
    std::snprintf(buffer, 64, "%.10g", x);
    std::size_t n = std::strlen(buffer);
    if (std::strcmp(buffer, ".0") == 0) {
        std::strcpy(buffer, "0");
    } else if (n > 0 && buffer[n - 1] == '.') {
        buffer[n - 1] = '\0';
    }
    out.SyncLength();
    return out;
}

std::size_t WriteIntegerText(std::int32_t value, char* out) {
    // Work in 64 bits so that the most negative value has a magnitude.
    std::int64_t v = value;
    char digits[12];
    std::size_t n = 0;
    const bool negative = v < 0;
    if (negative) v = -v;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    std::size_t length = 0;
    if (negative) out[length++] = '-';
    while (n > 0) out[length++] = digits[--n];
    out[length] = '\0';
    return length;
}

DynString IntegerToText(std::int32_t value) { return DynString(value); }

double TextToNumber(const DynString& text) { return std::atof(text.c_str()); }

std::int32_t TextToInteger(const DynString& text) { return std::atoi(text.c_str()); }

namespace {

// Widths and digit counts beyond this give texts nobody can use; clamping
// also keeps the conversion to int defined for any number.
constexpr double kMaxFormatField = 4096;

int ClampField(double value, double low) {
    const double whole = std::trunc(value);
    if (std::isnan(whole)) return 0;
    if (whole < low) return static_cast<int>(low);
    return static_cast<int>(whole > kMaxFormatField ? kMaxFormatField : whole);
}

} // namespace

DynString FormatNumber(double width, double decimals, double x) {
    const int w = ClampField(width, -kMaxFormatField);
    const int d = ClampField(decimals, 0);
    char format[32];
    std::snprintf(format, sizeof format, "%%%d.%df", w, d);
    // Measure first: the text can be longer than any fixed buffer.
    const int n = std::snprintf(nullptr, 0, format, x);
    DynString out;
    if (n <= 0) return out;
    char* buffer = out.WritableBuffer(static_cast<std::uint32_t>(n), false);
    std::snprintf(buffer, static_cast<std::size_t>(n) + 1, format, x);
    out.SyncLength();
    return out;
}

std::int32_t NumberTextLength(double x) { return static_cast<std::int32_t>(NumberToText(x).length()); }

std::int32_t IntegerTextLength(std::int32_t value) {
    char digits[16];
    return static_cast<std::int32_t>(WriteIntegerText(value, digits));
}

std::int32_t CharacterCode(const DynString& s) { return static_cast<unsigned char>(s.c_str()[0]); }

DynString CharacterFromCode(std::int32_t code) {
    // Copied by length, so code 0 still gives a one-byte text.
    const char c = static_cast<char>(code & 0xFF);
    return DynString(std::string_view(&c, 1));
}

std::int32_t CompareNoCase(const DynString& a, const DynString& b) { return strcasecmp(a.c_str(), b.c_str()); }

} // namespace vlm
