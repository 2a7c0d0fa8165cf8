#include "calc/float_chars.h"

#include <system_error>

// libstdc++ has floating-point from_chars and to_chars (and says so with
// __cpp_lib_to_chars); libc++ 13 has neither.
#if defined(__cpp_lib_to_chars) && !defined(TR_PORTABLE_CHARCONV)
#define TR_STD_FLOAT_CHARCONV 1
#else
#include <fast_float/fast_float.h>
#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#endif

namespace calc {

#ifdef TR_STD_FLOAT_CHARCONV

std::from_chars_result DecimalFromChars(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value);
}

std::from_chars_result HexIntegerFromChars(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value, std::chars_format::hex);
}

std::to_chars_result GeneralToChars(char* first, char* last, float value, int precision) {
  return std::to_chars(first, last, value, std::chars_format::general, precision);
}

#else

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) {
  const char lower = static_cast<char>(c | 0x20);
  return IsDigit(c) || (lower >= 'a' && lower <= 'f');
}

}  // namespace

std::from_chars_result DecimalFromChars(const char* first, const char* last, double& value) {
  double parsed = 0;
  const auto result = fast_float::from_chars(first, last, parsed);
  if (result.ec != std::errc()) return {result.ptr, result.ec};
  // fast_float gives infinity or zero for a number beyond the double range
  // and does not say so; from_chars calls it out of range. A number begins
  // with a digit or '.', unlike "inf" and "nan".
  const char* number = *first == '-' ? first + 1 : first;
  if (IsDigit(*number) || *number == '.') {
    if (std::isinf(parsed)) return {result.ptr, std::errc::result_out_of_range};
    if (parsed == 0) {
      for (const char* c = number; c != result.ptr && *c != 'e' && *c != 'E'; ++c) {
        if (*c >= '1' && *c <= '9') return {result.ptr, std::errc::result_out_of_range};
      }
    }
  }
  value = parsed;
  return {result.ptr, std::errc()};
}

std::from_chars_result HexIntegerFromChars(const char* first, const char* last, double& value) {
  const char* end = first;
  while (end != last && IsHexDigit(*end)) ++end;
  if (end == first) return {first, std::errc::invalid_argument};
  const char* digit = std::find_if(first, end, [](char c) { return c != '0'; });

  // The first 16 significant digits hold 61 to 64 bits, at least 8 more than
  // a double keeps; the lowest of them stands for any non-zero digit beyond,
  // which can only break a tie, as those digits do.
  const char* topEnd = digit + std::min<std::ptrdiff_t>(end - digit, 16);
  std::uint64_t top = 0;
  std::from_chars(digit, topEnd, top, 16);
  if (std::find_if(topEnd, end, [](char c) { return c != '0'; }) != end) top |= 1;
  const std::ptrdiff_t beyond = end - topEnd;
  if (top != 0 && beyond > 256) return {end, std::errc::result_out_of_range};

  // The conversion rounds once; the scaling by a power of two is exact.
  const double result = std::ldexp(static_cast<double>(top), static_cast<int>(4 * beyond));
  if (std::isinf(result)) return {end, std::errc::result_out_of_range};
  value = result;
  return {end, std::errc()};
}

std::to_chars_result GeneralToChars(char* first, char* last, float value, int precision) {
  // The C library's "%.*g" rounds the exact value to nearest, ties to even
  // (in the default rounding mode, which the program keeps), and writes the
  // locale's decimal separator: it is called under the "C" locale, for this
  // thread alone. Emscripten's C library (musl) knows no other locale.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  const locale_t previous = uselocale(cLocale);
  // A float has at most 112 significant digits, and %g drops trailing zeros.
  char text[160];
  const int size = std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
  uselocale(previous);
  if (size < 0 || last - first < size) return {last, std::errc::value_too_large};
  return {std::copy(text, text + size, first), std::errc()};
}

#endif

}  // namespace calc
