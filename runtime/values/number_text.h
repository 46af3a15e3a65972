// Numbers as text and text as numbers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

// 10 significant digits, shortest form; whole numbers have no decimal point.
// Exponent form where needed is spelled as C's "%g" does: "1.23456789e+11".
DynString NumberToText(double x);
// Base-10 digits with a leading '-' for negatives; writes at most 12 bytes
// including the terminator and returns the text length.
std::size_t WriteIntegerText(std::int32_t value, char* out);
DynString IntegerToText(std::int32_t value);
double TextToNumber(const DynString& text);       // atof
std::int32_t TextToInteger(const DynString& text); // atoi
// Fixed notation, `decimals` digits after the point, at least `width` wide.
DynString FormatNumber(double width, double decimals, double x);
std::int32_t NumberTextLength(double x);
std::int32_t IntegerTextLength(std::int32_t value);
std::int32_t CharacterCode(const DynString& s); // first byte 0..255; 0 when empty
DynString CharacterFromCode(std::int32_t code); // always length 1
std::int32_t CompareNoCase(const DynString& a, const DynString& b);

} // namespace vlm
