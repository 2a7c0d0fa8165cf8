// Field text to number: the longest leading part of the text that forms a
// number, read after blanks are dropped. Decimal text is converted correctly
// rounded by std::from_chars (calc/float_chars.h), which never reads the
// locale.

#include "calc/text_to_number.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "calc/arithmetic_failure.h"
#include "calc/float_chars.h"

namespace calc {
namespace {

// The text as a sequence of ASCII characters, as a Chinese input method may
// have typed them: full-width forms count as their ASCII counterparts, the
// ideographic full stop as a full stop; blanks are dropped. Any other
// character, and any byte that is not part of valid UTF-8, reads as kOther,
// which ends every number.
class CharReader {
 public:
  static constexpr int kEnd = -1;
  static constexpr int kOther = -2;

  explicit CharReader(std::string_view text) : text_(text) { Advance(); }

  int Peek() const { return current_; }
  void Take() { Advance(); }

 private:
  void Advance() {
    for (;;) {
      if (pos_ >= text_.size()) {
        current_ = kEnd;
        return;
      }
      const auto byte = static_cast<unsigned char>(text_[pos_]);
      if (byte < 0x80) {
        ++pos_;
        if (byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r') continue;
        current_ = byte;
        return;
      }
      const int wide = ReadWide();
      if (wide == kBlank) continue;
      current_ = wide;
      return;
    }
  }

  static constexpr int kBlank = -3;

  // The three-byte UTF-8 sequences that a Chinese input method gives for
  // blanks, full stops, digits and letters; anything else is kOther, which
  // ends reading, so the reader never needs to step over other sequences.
  int ReadWide() {
    if (text_.size() - pos_ < 3) return kOther;
    const auto b0 = static_cast<unsigned char>(text_[pos_]);
    const auto b1 = static_cast<unsigned char>(text_[pos_ + 1]);
    const auto b2 = static_cast<unsigned char>(text_[pos_ + 2]);
    if ((b0 & 0xF0) != 0xE0 || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return kOther;
    const std::uint32_t code = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
    int result = kOther;
    if (code == 0x3000) result = kBlank;  // ideographic space
    else if (code == 0x3002) result = '.';  // ideographic full stop
    else if (code >= 0xFF01 && code <= 0xFF5E) result = static_cast<int>(code - 0xFF01 + 0x21);
    if (result != kOther) pos_ += 3;
    return result;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int current_ = kEnd;
};

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

constexpr char kHexDigits[] = "0123456789abcdef";

int HexDigitValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The characters of a number as read, short ones kept on the stack.
class NumberChars {
 public:
  void Push(char c) {
    if (size_ < sizeof(inline_)) {
      inline_[size_++] = c;
      return;
    }
    if (heap_.empty()) heap_.assign(inline_, size_);
    heap_.push_back(c);
    ++size_;
  }
  const char* begin() const { return heap_.empty() ? inline_ : heap_.data(); }
  const char* end() const { return begin() + size_; }
  std::size_t size() const { return size_; }

 private:
  char inline_[64];
  std::size_t size_ = 0;
  std::string heap_;
};

[[noreturn]] void Overflow() { throw ArithmeticFailure(ArithmeticFailure::Reason::OutOfRange); }

// The hexadecimal digits of an octal number: three bits a digit in, four out.
std::string OctalToHex(std::string_view octal) {
  std::string hex;
  std::uint32_t bits = 0;
  int count = 0;
  for (auto it = octal.rbegin(); it != octal.rend(); ++it) {
    bits |= static_cast<std::uint32_t>(*it - '0') << count;
    for (count += 3; count >= 4; count -= 4, bits >>= 4) hex.push_back(kHexDigits[bits & 0xF]);
  }
  if (count > 0) hex.push_back(kHexDigits[bits]);
  return {hex.rbegin(), hex.rend()};
}

// The digits after an &H (radix 16) or &O (radix 8) prefix. A value up to
// FFFF is a signed 16-bit integer, up to FFFFFFFF a signed 32-bit integer,
// anything larger its plain unsigned value.
double ReadRadixInteger(CharReader& reader, int radix) {
  std::string digits;
  for (int digit; (digit = HexDigitValue(reader.Peek())) >= 0 && digit < radix; reader.Take()) {
    if (digits.empty() && digit == 0) continue;  // leading zeros
    digits.push_back(kHexDigits[digit]);
  }
  if (radix == 8) digits = OctalToHex(digits);
  const std::size_t significant = digits.find_first_not_of('0');
  if (significant == std::string::npos) return 0;
  digits.erase(0, significant);

  if (digits.size() <= 8) {
    std::uint32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (value <= 0xFFFF) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(value);
  }
  double value = 0;
  const auto result = HexIntegerFromChars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc()) Overflow();
  return value;
}

// Reads an optional exponent ("E", optional sign, digits) into `chars`. An
// E without digits after it is not part of the number; so the reader takes
// nothing unless the exponent is complete. Returns the exponent's value,
// clamped far beyond any double's range.
long ReadExponent(CharReader& reader, NumberChars& chars) {
  if (reader.Peek() != 'E' && reader.Peek() != 'e') return 0;
  CharReader ahead = reader;
  ahead.Take();
  bool negative = false;
  if (ahead.Peek() == '+' || ahead.Peek() == '-') {
    negative = ahead.Peek() == '-';
    ahead.Take();
  }
  if (!IsDigit(ahead.Peek())) return 0;
  reader = ahead;
  chars.Push('e');
  if (negative) chars.Push('-');
  long exponent = 0;
  for (; IsDigit(reader.Peek()); reader.Take()) {
    chars.Push(static_cast<char>(reader.Peek()));
    if (exponent < 100'000'000) exponent = exponent * 10 + (reader.Peek() - '0');
  }
  return negative ? -exponent : exponent;
}

// The decimal exponent of the leading digit of a number's characters, roughly:
// positive for numbers of magnitude 1 and above.
long Magnitude(const NumberChars& chars, long exponent) {
  long integerDigits = 0;
  long fractionZeros = 0;
  bool nonZeroSeen = false;
  bool inFraction = false;
  for (const char* c = chars.begin(); c != chars.end() && *c != 'e'; ++c) {
    if (*c == '.') {
      inFraction = true;
    } else if (*c >= '1' && *c <= '9') {
      if (inFraction) break;
      nonZeroSeen = true;
      ++integerDigits;
    } else if (*c == '0') {
      if (nonZeroSeen) ++integerDigits;
      else if (inFraction) ++fractionZeros;
    }
  }
  return (nonZeroSeen ? integerDigits : -fractionZeros) + exponent;
}

// An optional sign, digits with at most one full stop, an optional exponent.
double ReadDecimal(CharReader& reader) {
  NumberChars chars;
  if (reader.Peek() == '-') {
    chars.Push('-');
    reader.Take();
  } else if (reader.Peek() == '+') {
    reader.Take();
  }

  bool anyDigit = false;
  for (; IsDigit(reader.Peek()); reader.Take()) {
    chars.Push(static_cast<char>(reader.Peek()));
    anyDigit = true;
  }
  if (reader.Peek() == '.') {
    chars.Push('.');
    reader.Take();
    for (; IsDigit(reader.Peek()); reader.Take()) {
      chars.Push(static_cast<char>(reader.Peek()));
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0;
  const long exponent = ReadExponent(reader, chars);

  double value = 0;
  const auto result = DecimalFromChars(chars.begin(), chars.end(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small for a double becomes zero; too large is a failure.
    if (Magnitude(chars, exponent) > 0) Overflow();
    return chars.begin()[0] == '-' ? -0.0 : 0.0;
  }
  return value;
}

// Plain ASCII text without blanks that starts like a decimal number, as
// nearly every field holds: from_chars reads the same number from it in place.
bool IsPlainDecimal(std::string_view text) {
  std::size_t first = !text.empty() && text[0] == '-' ? 1 : 0;
  if (first >= text.size() || !(IsDigit(text[first]) || text[first] == '.')) return false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == ' ' || c == '\t' || c == '\n' ||
        c == '\r') {
      return false;
    }
  }
  return true;
}

}  // namespace

double TextToNumber(std::string_view text) {
  if (IsPlainDecimal(text)) {
    double value = 0;
    const auto result = DecimalFromChars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc()) return value;
    if (result.ec == std::errc::invalid_argument) return 0;
    // Out of range: the general reader tells overflow from underflow.
  }
  CharReader reader(text);
  if (reader.Peek() == '&') {
    reader.Take();
    const int prefix = reader.Peek();
    if (prefix == 'H' || prefix == 'h') {
      reader.Take();
      return ReadRadixInteger(reader, 16);
    }
    if (prefix == 'O' || prefix == 'o') {
      reader.Take();
      return ReadRadixInteger(reader, 8);
    }
    return 0;
  }
  return ReadDecimal(reader);
}

}  // namespace calc
