#include "calc/float_chars.h"

#include <system_error>

// libstdc++ has floating-point from_chars and to_chars (and says so with
// __cpp_lib_to_chars); libc++ 13 has neither.
#if defined(__cpp_lib_to_chars) && !defined(TR_PORTABLE_CHARCONV)
#define TR_STD_FLOAT_CHARCONV 1
#else
#include <fast_float/fast_float.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
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

// The exact decimal digits of a finite float above zero, most significant
// first, and the power of ten of the first one: 0.375f -> "375", -1. A float
// is m * 2^e with m below 2^24: m * 2^e is an integer of at most 39 digits
// for e >= 0, and m * 5^-e / 10^-e has at most 112 digits for e >= -149.
struct ExactDecimal {
  std::string digits;
  int exponent;
};

ExactDecimal ExactDigits(float value) {
  int binaryExponent = 0;
  const float fraction = std::frexp(value, &binaryExponent);
  auto mantissa = static_cast<std::uint32_t>(std::ldexp(fraction, 24));
  binaryExponent -= 24;

  std::array<unsigned char, 128> digits{};  // least significant first
  std::size_t count = 0;
  for (; mantissa != 0; mantissa /= 10) digits[count++] = static_cast<unsigned char>(mantissa % 10);
  const auto multiply = [&](unsigned factor) {
    unsigned carry = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const unsigned product = digits[i] * factor + carry;
      digits[i] = static_cast<unsigned char>(product % 10);
      carry = product / 10;
    }
    for (; carry != 0; carry /= 10) digits[count++] = static_cast<unsigned char>(carry % 10);
  };
  int pointShift = 0;  // the value is the digits times 10^pointShift
  if (binaryExponent >= 0) {
    for (int i = 0; i < binaryExponent; ++i) multiply(2);
  } else {
    for (int i = 0; i < -binaryExponent; ++i) multiply(5);
    pointShift = binaryExponent;
  }

  ExactDecimal exact{std::string(count, '0'), static_cast<int>(count) - 1 + pointShift};
  for (std::size_t i = 0; i < count; ++i) exact.digits[i] += static_cast<char>(digits[count - 1 - i]);
  return exact;
}

// Rounds the digits to `precision` significant ones, to nearest with ties to
// even, and drops trailing zeros: "1234565", 6 -> "123456"; "9999995", 6 ->
// "1" with the exponent one up.
void RoundDigits(ExactDecimal& exact, std::size_t precision) {
  std::string& digits = exact.digits;
  if (digits.size() > precision) {
    const char next = digits[precision];
    const bool beyondHalf =
        digits.find_first_not_of('0', precision + 1) != std::string::npos;
    const bool odd = (digits[precision - 1] - '0') % 2 == 1;
    const bool up = next > '5' || (next == '5' && (beyondHalf || odd));
    digits.resize(precision);
    if (up) {
      std::size_t i = precision;
      while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
      if (i == 0) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exact.exponent;
      } else {
        ++digits[i - 1];
      }
    }
  }
  digits.erase(digits.find_last_not_of('0') + 1);
}

// "%.{precision}g" of a finite float above zero.
std::string GeneralText(float value, int precision) {
  ExactDecimal exact = ExactDigits(value);
  RoundDigits(exact, static_cast<std::size_t>(precision));
  const std::string& digits = exact.digits;
  const int exponent = exact.exponent;
  std::string text;
  if (exponent < -4 || exponent >= precision) {
    text += digits[0];
    if (digits.size() > 1) text += '.' + digits.substr(1);
    text += exponent < 0 ? "e-" : "e+";
    const std::string power = std::to_string(exponent < 0 ? -exponent : exponent);
    if (power.size() < 2) text += '0';
    text += power;
  } else if (exponent >= 0) {
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    text = digits.substr(0, integerDigits);
    text.append(integerDigits - text.size(), '0');
    if (digits.size() > integerDigits) text += '.' + digits.substr(integerDigits);
  } else {
    text = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  return text;
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
  if (precision < 0) precision = 6;
  if (precision == 0) precision = 1;
  std::string text;
  if (std::signbit(value)) text += '-';
  if (std::isnan(value)) {
    text += "nan";
  } else if (std::isinf(value)) {
    text += "inf";
  } else if (value == 0) {
    text += '0';
  } else {
    text += GeneralText(std::fabs(value), precision);
  }
  if (last - first < static_cast<std::ptrdiff_t>(text.size())) {
    return {last, std::errc::value_too_large};
  }
  return {std::copy(text.begin(), text.end(), first), std::errc()};
}

#endif

}  // namespace calc
