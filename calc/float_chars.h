#pragma once
// Floating-point text without the locale: std::from_chars and std::to_chars
// where the standard library has them for floating point (libstdc++), and
// where it has not (libc++ 13, as Emscripten ships it) fast_float for reading
// and the C library's snprintf under the "C" locale for writing, which give
// the same results bit for bit. TR_PORTABLE_CHARCONV picks the latter
// everywhere, so the native tests can run on it.
//
//   DecimalFromChars("1.5e3")            -> 1500, ptr after "3"
//   DecimalFromChars("1e400")            -> result_out_of_range (value unchanged)
//   HexIntegerFromChars("10000000000")   -> 68719476736
//   GeneralToChars(12345678.0f, 7)       -> "1.234568e+07"

#include <charconv>

namespace calc {

// As std::from_chars(first, last, value): an optional '-', digits with at
// most one '.', an optional exponent; "inf" and "nan" as well. A number that
// rounds to infinity, or to zero though it has a non-zero digit, is
// result_out_of_range, and `value` is left as it was.
std::from_chars_result DecimalFromChars(const char* first, const char* last, double& value);

// As std::from_chars(first, last, value, std::chars_format::hex) for an
// unsigned hexadecimal integer (no point, no exponent): correctly rounded,
// result_out_of_range beyond the double range.
std::from_chars_result HexIntegerFromChars(const char* first, const char* last, double& value);

// As std::to_chars(first, last, value, std::chars_format::general,
// precision): printf's "%.{precision}g" in the "C" locale, rounded to nearest
// from the exact value, ties to even.
std::to_chars_result GeneralToChars(char* first, char* last, float value, int precision);

}  // namespace calc
