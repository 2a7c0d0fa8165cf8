// CalculateRatio against a reference model written from the rules alone.
//
// Every field text is generated from a known structure (a decimal number with
// its sign, digits and exponent, a radix integer, a text with no number, ...),
// so the number it stands for is known by construction; the text is then
// decorated with blanks, full-width forms and a tail that cannot continue the
// number. The model follows the nine pairs, the emptiness test, the
// conversions in their fixed order and the narrowing with plain double
// statements, and writes the ratio with the C library's "%.7G" in the "C"
// locale. Any difference is printed with the request and both outcomes.

#include <gtest/gtest.h>
#include <locale.h>

#include <array>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ratio_calculation.h"
#include "calc/speed_conversion.h"

namespace {

using calc::ArithmeticFailure;
using calc::MessageIcon;
using calc::RatioOutcome;
using calc::RatioRequest;
using calc::SpeedKind;
using calc::SpeedSide;
using Reason = ArithmeticFailure::Reason;
using Rng = std::mt19937_64;

constexpr int kMaxReportedMismatches = 10;
// The smallest magnitude that rounds to infinity when narrowed to float:
// halfway between the largest float and 2^128, where the tie goes to 2^128.
constexpr double kFloatOverflowThreshold = 0x1.ffffffp127;

// ---------------------------------------------------------------------------
// C library helpers, pinned to the "C" locale for this thread.

#ifdef _WIN32
// Windows has no uselocale: the C library's locale is made this thread's own
// for the scope, and set to "C" there.
class CLocaleScope {
 public:
  CLocaleScope()
      : perThread_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)),
        previous_(std::setlocale(LC_ALL, nullptr)) {
    std::setlocale(LC_ALL, "C");
  }
  ~CLocaleScope() {
    std::setlocale(LC_ALL, previous_.c_str());
    _configthreadlocale(perThread_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  int perThread_;
  std::string previous_;
};
#else
class CLocaleScope {
 public:
  CLocaleScope()
      : locale_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))),
        previous_(uselocale(locale_)) {}
  ~CLocaleScope() {
    uselocale(previous_);
    freelocale(locale_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t locale_;
  locale_t previous_;
};
#endif

// The correctly rounded double of a C literal ("-1.5E3", "0x1F"), or nothing
// when it lies beyond the double range.
std::optional<double> LiteralValue(const std::string& literal) {
  CLocaleScope scope;
  char* end = nullptr;
  const double value = std::strtod(literal.c_str(), &end);
  if (end != literal.c_str() + literal.size()) {
    throw std::logic_error("generator built an unreadable literal: " + literal);
  }
  if (std::isinf(value)) return std::nullopt;
  return value;
}

std::string ModelNumberText(float ratio) {
  std::array<char, 64> buffer{};
  {
    CLocaleScope scope;
    std::snprintf(buffer.data(), buffer.size(), "%.7G", static_cast<double>(ratio));
  }
  const std::string digits(buffer.data());
  if (digits.front() == '-') return ratio == 0 ? " 0" : digits;
  return " " + digits;
}

// ---------------------------------------------------------------------------
// Random helpers.

bool Chance(Rng& rng, double p) { return std::bernoulli_distribution(p)(rng); }

int Uniform(Rng& rng, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(rng);
}

template <typename T>
const T& Pick(Rng& rng, const std::vector<T>& items) {
  return items[static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(items.size()) - 1))];
}

template <typename Weights>
std::size_t Weighted(Rng& rng, const Weights& weights) {
  return std::discrete_distribution<std::size_t>(std::begin(weights), std::end(weights))(rng);
}

std::size_t Weighted(Rng& rng, std::initializer_list<int> weights) {
  return Weighted<>(rng, weights);
}

constexpr std::string_view kDecimalDigits = "0123456789";

// count characters drawn from alphabet.
std::string Digits(Rng& rng, int count, std::string_view alphabet = kDecimalDigits) {
  std::string digits;
  for (int i = 0; i < count; ++i)
    digits +=
        alphabet[static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(alphabet.size()) - 1))];
  return digits;
}

// ---------------------------------------------------------------------------
// Field texts built from a known structure.

// A text as a list of units: one ASCII character each, or a run of bytes
// (a UTF-8 sequence, or something that is not valid UTF-8) kept whole.
using Units = std::vector<std::string>;

Units Split(const std::string& ascii) {
  Units units;
  for (const char c : ascii) units.emplace_back(1, c);
  return units;
}

void Append(Units& units, const Units& more) {
  units.insert(units.end(), more.begin(), more.end());
}

std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// Blank, tab, line feed, carriage return, ideographic space.
const std::vector<std::string> kBlanks = {" ", "\t", "\n", "\r", Utf8(0x3000)};

struct Decoration {
  double fullWidth = 0;  // chance that an ASCII character takes its full-width form
  double blanks = 0;     // chance of blanks before each unit
};

std::string Render(Rng& rng, const Units& units, const Decoration& decoration) {
  std::string text;
  const auto blanks = [&] {
    if (!Chance(rng, decoration.blanks)) return;
    for (int i = Uniform(rng, 1, 2); i > 0; --i) text += Pick(rng, kBlanks);
  };
  for (const std::string& unit : units) {
    blanks();
    const bool printable = unit.size() == 1 && unit[0] > 0x20 && unit[0] < 0x7F;
    if (printable && Chance(rng, decoration.fullWidth)) {
      const bool ideographicStop = unit[0] == '.' && Chance(rng, 0.5);
      text += ideographicStop ? Utf8(0x3002) : Utf8(0xFF00 + static_cast<char32_t>(unit[0] - 0x20));
    } else {
      text += unit;
    }
  }
  blanks();
  return text;
}

// Tails that cannot continue any number: they begin with a character that is
// neither a digit, a full stop, an exponent letter nor a blank.
const std::vector<Units> kStoppers = {
    {",", "5"},
    {"m", "m"},
    {"m", "/", "s"},
    {"#"},
    {"-", "3"},
    {"+", "1"},
    {"x", "1"},
    {"&", "H", "1"},
    {Utf8(0x20AC)},               // euro sign
    {"\xFF", "5"},                // a byte that is never UTF-8
    {"\xC0\xB5"},                 // over-long form of '5'
    {"\xE0\x80\xAE", "5"},        // over-long form of '.'
    {"\xC0\xA0", "5"},            // over-long form of a blank
    {"\xE3\x80", "5"},            // ideographic space cut short
    {"\xED\xA0\x80", "5"},        // an encoded surrogate
    {Utf8(0x00A0), "5"},          // no-break space
    {"\x0B", "5"},                // vertical tab
    {"\x0C", "5"},                // form feed
    {std::string(1, '\0'), "5"},  // NUL
    {Utf8(0x2212), "1"},          // minus sign
    {Utf8(0x0665)},               // Arabic-Indic digit five
    {Utf8(0xFF61), "5"},          // halfwidth ideographic full stop
    {Utf8(0xFF00), "5"},          // just below the full-width forms
    {Utf8(0xFF5F), "5"},          // just above the full-width forms
    {Utf8(0xFE52), "5"},          // small full stop
    {Utf8(0xFF0C), "5"},          // full-width comma
};
// After a number that already has a full stop or an exponent.
const std::vector<Units> kSecondStops = {{".", "3", ".", "4"}, {"."}, {".", "5"}};
// After a number that already has an exponent.
const std::vector<Units> kSecondExponents = {{"E", "5"}, {"e", "2"}, {"E", "+", "1"}};
// After a number without exponent: an exponent letter with no digits.
const std::vector<Units> kBareExponents = {{"E"},      {"E", "+"},      {"e", "-"},
                                           {"E", "x"}, {"E", "-", "x"}, {"E", ",", "5"}};
// Tails that cannot continue a hexadecimal or an octal integer.
const std::vector<Units> kRadixStoppers = {{"g"}, {"G", "1"}, {".", "5"}, {"H"}, {"O", "7"}};
const std::vector<Units> kOctalStoppers = {{"8"},      {"9", "1"}, {"A"},
                                           {"e", "5"}, {"f"},      {Utf8(0xFF18)}};

// Texts in which no number begins.
const std::vector<Units> kNoNumbers = {
    {"a", "b", "c"},
    {"m", "m"},
    {",", "5"},
    {"-"},
    {"+"},
    {"."},
    {"-", "."},
    {"&"},
    {"&", "1", "7"},
    {"&", "X", "1"},
    {"E", "5"},
    {"e", "5"},
    {"&", "H"},
    {"&", "H", "g"},
    {"&", "O", "9"},
    {"&", "h", "x", "1"},
    {"E", "n", "a", "b", "l", "e", "d"},
    {Utf8(0x2212), "5"},
    {Utf8(0x0665)},
    {"\xFF", "5"},
    {"\xC0\xB5"},
    {"\xEF\xBC", "5"},
    {Utf8(0x00A0), "5"},
    {"\x0B", "5"},
    {Utf8(0xFF61), "5"},
    {Utf8(0xFF00), "5"},
    {Utf8(0xFF5F), "5"},
    {Utf8(0x4E94)},  // the Chinese numeral five
};

// Decimal literals at the edges of the float and double ranges.
const std::vector<std::string> kBoundaryLiterals = {
    "3.4028234663852886E38",  // the largest float
    "3.4028235E38",
    "3.4028236E38",
    "340282356779733661637539395458142568448",  // halfway to 2^128
    "340282356779733661637539395458142568447",
    "3.4028235677973362E38",
    "3.4028235677973366E38",
    "1.7976931348623157E308",  // the largest double
    "1.7976931348623158E308",
    "1.7976931348623159E308",
    // Halfway from the largest double to 2^1024.
    "17976931348623158079372897140530341507993413271003782693617377898044496829276475"
    "09466490179775872070963302864166928879109465555478519404026306574886715058206819"
    "08902000708383676273854845817711531764475730270069855571366959622842914819860834"
    "936475292719074168444365510704342711559699508093042880177904174497792",
    "4.9406564584124654E-324",
    "2.4703282292062328E-324",
    "2.4703282292062327E-324",
    "1.401298E-45",
    "7.006492E-46",
    "1.1754942E-38",
};

struct FieldText {
  std::string text;
  std::optional<double> value;  // nothing: beyond the double range
};

enum class Scale { Ordinary, Zero, Huge, Tiny, LongDigits, Boundary, FloatPattern };

struct Profile {
  const char* name;
  std::uint64_t seed;
  int requests;
  // Empty, blanks only, decimal, radix, no number.
  std::array<int, 5> categoryWeights;
  // Ordinary, zero, huge, tiny, long digits, boundary, float pattern.
  std::array<int, 7> scaleWeights;
  double decorationChance;
  double tailChance;
  double noKindChance;
  double unitOutputChance;  // chance that the output speed text is a plain 1
};

std::string ExponentPart(Rng& rng, int exponent) {
  std::string part = Chance(rng, 0.8) ? "E" : "e";
  if (exponent < 0) {
    part += '-';
  } else if (Chance(rng, 0.3)) {
    part += '+';
  }
  if (Chance(rng, 0.1)) part += std::string(static_cast<std::size_t>(Uniform(rng, 1, 3)), '0');
  return part + std::to_string(std::abs(exponent));
}

std::string Mantissa(Rng& rng, int intLength, int fracLength, bool point,
                     std::string_view alphabet = kDecimalDigits) {
  std::string mantissa = Digits(rng, intLength, alphabet);
  if (point) mantissa += "." + Digits(rng, fracLength, alphabet);
  if (mantissa.find_first_of(kDecimalDigits) == std::string::npos)
    mantissa = Digits(rng, 1, alphabet) + mantissa;
  return mantissa;
}

// A decimal literal, with the optional sign and exponent of the field rule.
std::string DecimalLiteral(Rng& rng, Scale scale) {
  std::string sign = Pick(rng, std::vector<std::string>{"", "", "", "-", "-", "+"});
  switch (scale) {
    case Scale::Ordinary: {
      const bool point = Chance(rng, 0.5);
      std::string literal = Mantissa(rng, Uniform(rng, 0, 4), Uniform(rng, 0, 4), point);
      if (literal.back() != '.' && Chance(rng, 0.15))
        literal += ExponentPart(rng, Uniform(rng, -6, 8));
      return sign + literal;
    }
    case Scale::Zero: {
      std::string literal =
          Mantissa(rng, Uniform(rng, 0, 3), Uniform(rng, 0, 3), Chance(rng, 0.4), "0");
      if (literal.back() != '.' && Chance(rng, 0.3))
        literal += ExponentPart(rng, Uniform(rng, -400, 400));
      return sign + literal;
    }
    case Scale::Huge:
    case Scale::Tiny: {
      const std::string mantissa =
          Digits(rng, 1, "123456789") +
          Mantissa(rng, Uniform(rng, 0, 2), Uniform(rng, 1, 6), Chance(rng, 0.5));
      // Exponents that do not fit 32 or 64 bits must not wrap around.
      const std::vector<std::string> magnitudes = {std::to_string(Uniform(rng, 30, 46)),
                                                   std::to_string(Uniform(rng, 290, 330)),
                                                   "400",
                                                   "99999",
                                                   "4294967297",
                                                   "18446744073709551617"};
      const std::string magnitude = magnitudes[Weighted(rng, {12, 12, 2, 2, 1, 1})];
      return sign + mantissa + (Chance(rng, 0.8) ? "E" : "e") + (scale == Scale::Huge ? "" : "-") +
             magnitude;
    }
    case Scale::LongDigits: {
      const int length = Chance(rng, 0.15) ? Uniform(rng, 300, 315) : Uniform(rng, 10, 45);
      const std::string zeros(static_cast<std::size_t>(Chance(rng, 0.2) ? Uniform(rng, 1, 5) : 0),
                              '0');
      std::string literal =
          Digits(rng, 1, "123456789") + Mantissa(rng, length - 1, Uniform(rng, 0, 30), false);
      if (Chance(rng, 0.3)) literal += ExponentPart(rng, -length + Uniform(rng, -3, 3));
      return sign + zeros + literal;
    }
    case Scale::Boundary:
      return sign + Pick(rng, kBoundaryLiterals);
    case Scale::FloatPattern: {
      // Any finite single-precision number, written with its own sign.
      const auto bits = static_cast<std::uint32_t>(rng());
      float pattern = 0;
      std::memcpy(&pattern, &bits, sizeof pattern);
      if (!std::isfinite(pattern)) pattern = std::numeric_limits<float>::max();
      std::array<char, 64> buffer{};
      CLocaleScope scope;
      std::snprintf(buffer.data(), buffer.size(), Chance(rng, 0.5) ? "%.9G" : "%.17G",
                    static_cast<double>(pattern));
      return buffer.data();
    }
  }
  throw std::logic_error("unknown scale");
}

Units DecimalTail(Rng& rng, const std::string& literal) {
  const bool exponent = literal.find_first_of("Ee") != std::string::npos;
  const bool point = literal.find('.') != std::string::npos;
  std::vector<Units> choices = kStoppers;
  if (point || exponent) choices.insert(choices.end(), kSecondStops.begin(), kSecondStops.end());
  const std::vector<Units>& letters = exponent ? kSecondExponents : kBareExponents;
  choices.insert(choices.end(), letters.begin(), letters.end());
  return Pick(rng, choices);
}

// The value of a radix integer: up to FFFF a signed 16-bit integer, up to
// FFFFFFFF a signed 32-bit integer, beyond that the unsigned number itself.
std::optional<double> RadixValue(const std::string& digits, int base) {
  const int bitsPerDigit = base == 16 ? 4 : 3;
  std::string bits;
  for (const char c : digits) {
    const int digit = std::stoi(std::string(1, c), nullptr, base);
    for (int bit = bitsPerDigit - 1; bit >= 0; --bit) bits += ((digit >> bit) & 1) ? '1' : '0';
  }
  bits.erase(0, std::min(bits.find('1'), bits.size()));
  if (bits.size() <= 32) {
    const std::uint64_t value = bits.empty() ? 0 : std::stoull(bits, nullptr, 2);
    if (value <= 0xFFFF) return static_cast<double>(value) - (value >= 0x8000 ? 65536.0 : 0.0);
    return static_cast<double>(value) - (value >= 0x80000000 ? 4294967296.0 : 0.0);
  }
  bits.insert(0, (4 - bits.size() % 4) % 4, '0');
  std::string hex = "0x";
  for (std::size_t i = 0; i < bits.size(); i += 4)
    hex += "0123456789ABCDEF"[std::stoi(bits.substr(i, 4), nullptr, 2)];
  return LiteralValue(hex);
}

std::string InBase(std::uint64_t value, int base) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[value % static_cast<std::uint64_t>(base)]);
    value /= static_cast<std::uint64_t>(base);
  } while (value != 0);
  return digits;
}

std::string RadixDigits(Rng& rng, int base) {
  const std::string_view alphabet =
      std::string_view("0123456789ABCDEF").substr(0, static_cast<std::size_t>(base));
  std::string digits;
  switch (Weighted(rng, {4, 3, 3, 2, 1, 1})) {
    case 0:  // around the 16-bit and 32-bit bounds
      digits = InBase(
          Pick(rng, std::vector<std::uint64_t>{0, 1, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF,
                                               0x80000000, 0xFFFFFFFF, 0x100000000}),
          base);
      break;
    case 1:
      digits = InBase(static_cast<std::uint64_t>(Uniform(rng, 0, 0xFFFF)), base);
      break;
    case 2:
      digits = InBase(
          static_cast<std::uint64_t>(Uniform(rng, 0x10000, 0x7FFFFFFF)) * Uniform(rng, 1, 2), base);
      break;
    case 3:
      digits = InBase(rng() >> Uniform(rng, 0, 30), base);
      break;
    case 4:  // more than 64 bits
      digits = Digits(rng, 1, alphabet.substr(1)) + InBase(rng(), base) + InBase(rng(), base);
      break;
    default:  // beyond the double range
      digits = std::string(static_cast<std::size_t>(base == 16 ? 260 : 350), alphabet.back());
      break;
  }
  // Leading zeros do not change how the value is signed.
  if (Chance(rng, 0.15)) digits.insert(0, static_cast<std::size_t>(Uniform(rng, 1, 12)), '0');
  for (char& c : digits) {
    if (c >= 'A' && Chance(rng, 0.3)) c = static_cast<char>(c - 'A' + 'a');
  }
  return digits;
}

FieldText GenerateField(Rng& rng, const Profile& profile) {
  Decoration decoration;
  if (Chance(rng, profile.decorationChance)) decoration.fullWidth = Uniform(rng, 1, 10) / 10.0;
  if (Chance(rng, profile.decorationChance)) decoration.blanks = Uniform(rng, 1, 5) / 10.0;
  const bool tail = Chance(rng, profile.tailChance);

  switch (Weighted(rng, profile.categoryWeights)) {
    case 0:
      return {"", 0.0};
    case 1: {
      std::string blanks;
      for (int i = Uniform(rng, 1, 6); i > 0; --i) blanks += Pick(rng, kBlanks);
      return {blanks, 0.0};
    }
    case 2: {
      const std::string literal =
          DecimalLiteral(rng, static_cast<Scale>(Weighted(rng, profile.scaleWeights)));
      Units units = Split(literal);
      if (tail) Append(units, DecimalTail(rng, literal));
      return {Render(rng, units, decoration), LiteralValue(literal)};
    }
    case 3: {
      const bool hex = Chance(rng, 0.6);
      const int base = hex ? 16 : 8;
      const std::string digits = RadixDigits(rng, base);
      const std::string letter = hex ? Pick(rng, std::vector<std::string>{"H", "h"})
                                     : Pick(rng, std::vector<std::string>{"O", "o"});
      Units units = {"&", letter};
      Append(units, Split(digits));
      if (tail) {
        std::vector<Units> choices = hex ? kRadixStoppers : kOctalStoppers;
        choices.insert(choices.end(), kStoppers.begin(), kStoppers.end());
        Append(units, Pick(rng, choices));
      }
      return {Render(rng, units, decoration), RadixValue(digits, base)};
    }
    default:
      return {Render(rng, Pick(rng, kNoNumbers), decoration), 0.0};
  }
}

// ---------------------------------------------------------------------------
// The model of the calculation.

struct Verdict {
  std::optional<RatioOutcome> outcome;
  std::optional<Reason> reason;
  std::optional<SpeedSide> side;
  std::string otherError;
};

const RatioOutcome kIncompleteInput{"Error！", "数值输入不完全！", MessageIcon::Critical};
const RatioOutcome kNoSpeedKind{
    "Error!", "您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！",
    MessageIcon::Critical};

// What the model reached, counted to show that the generated requests cover
// every way a calculation can end.
enum class Ending {
  Result,
  IncompleteInput,
  NoSpeedKind,
  ZeroOutputSpeed,
  ZeroInputDiameter,
  ZeroOutputDiameter,
  TextOutOfRange,
  ConversionOutOfRange,
  QuotientOutOfRange,
  NarrowingOutOfRange,
  Count
};
constexpr std::array<const char*, static_cast<std::size_t>(Ending::Count)> kEndingNames = {
    "result",
    "incomplete input",
    "no speed kind",
    "zero output speed",
    "zero input diameter",
    "zero output diameter",
    "text beyond double",
    "conversion beyond double",
    "quotient beyond double",
    "ratio beyond float"};

struct Modelled {
  Verdict verdict;
  Ending ending;
};

struct SideRequest {
  SpeedKind kind;
  const FieldText& speed;
  const FieldText& diameter;
  SpeedSide side;
};

Modelled Failure(Reason reason, Ending ending, std::optional<SpeedSide> side = std::nullopt) {
  return {Verdict{std::nullopt, reason, side, {}}, ending};
}

// One side's speed in rev/min (or rad/s when both sides are rad/s), or the
// failure that ends the calculation there.
std::optional<Modelled> ModelSide(const SideRequest& request, bool bothRadPerSec, double& speed) {
  if (!request.speed.value) return Failure(Reason::OutOfRange, Ending::TextOutOfRange);
  const double v = *request.speed.value;
  switch (request.kind) {
    case SpeedKind::RevPerMin:
      speed = v;
      return std::nullopt;
    case SpeedKind::RadPerSec: {
      if (bothRadPerSec) {
        speed = v;
        return std::nullopt;
      }
      const double product = v * 30.0;
      if (std::isinf(product)) return Failure(Reason::OutOfRange, Ending::ConversionOutOfRange);
      speed = product / 3.1415926;
      return std::nullopt;
    }
    case SpeedKind::LinearSpeed: {
      if (!request.diameter.value) return Failure(Reason::OutOfRange, Ending::TextOutOfRange);
      const double metres = *request.diameter.value / 1000.0;
      const double radius = metres / 2.0;
      if (radius == 0.0) {
        const Ending ending = request.side == SpeedSide::Input ? Ending::ZeroInputDiameter
                                                               : Ending::ZeroOutputDiameter;
        return Failure(Reason::ZeroDiameter, ending, request.side);
      }
      const double angular = v / radius;
      if (std::isinf(angular)) return Failure(Reason::OutOfRange, Ending::ConversionOutOfRange);
      const double product = angular * 30.0;
      if (std::isinf(product)) return Failure(Reason::OutOfRange, Ending::ConversionOutOfRange);
      speed = product / 3.1415926;
      return std::nullopt;
    }
  }
  throw std::logic_error("unknown speed kind");
}

struct GeneratedRequest {
  RatioRequest request;
  std::array<FieldText, 4> fields;  // input speed, input diameter, output speed, output diameter
};

Modelled Model(const GeneratedRequest& generated) {
  const RatioRequest& request = generated.request;
  if (!request.inputKind || !request.outputKind)
    return {Verdict{kNoSpeedKind, {}, {}, {}}, Ending::NoSpeedKind};

  std::vector<const std::string*> tested = {&request.inputSpeedText, &request.outputSpeedText};
  if (*request.inputKind == SpeedKind::LinearSpeed) tested.push_back(&request.inputDiameterText);
  if (*request.outputKind == SpeedKind::LinearSpeed) tested.push_back(&request.outputDiameterText);
  for (const std::string* text : tested) {
    if (text->empty()) return {Verdict{kIncompleteInput, {}, {}, {}}, Ending::IncompleteInput};
  }

  const bool bothRadPerSec =
      *request.inputKind == SpeedKind::RadPerSec && *request.outputKind == SpeedKind::RadPerSec;
  double n1 = 0;
  double n2 = 0;
  const SideRequest input{*request.inputKind, generated.fields[0], generated.fields[1],
                          SpeedSide::Input};
  const SideRequest output{*request.outputKind, generated.fields[2], generated.fields[3],
                           SpeedSide::Output};
  if (auto failure = ModelSide(input, bothRadPerSec, n1)) return *failure;
  if (auto failure = ModelSide(output, bothRadPerSec, n2)) return *failure;

  if (n2 == 0.0) return Failure(Reason::ZeroOutputSpeed, Ending::ZeroOutputSpeed);
  const double q = n1 / n2;
  if (std::isinf(q)) return Failure(Reason::OutOfRange, Ending::QuotientOutOfRange);
  if (std::fabs(q) >= kFloatOverflowThreshold)
    return Failure(Reason::OutOfRange, Ending::NarrowingOutOfRange);
  const float ratio = static_cast<float>(q);
  const RatioOutcome result{"Result！", "传动比为：" + ModelNumberText(ratio),
                            MessageIcon::Information};
  return {Verdict{result, {}, {}, {}}, Ending::Result};
}

Verdict Observe(const RatioRequest& request) {
  try {
    return Verdict{calc::CalculateRatio(request), {}, {}, {}};
  } catch (const ArithmeticFailure& failure) {
    return Verdict{std::nullopt, failure.reason(), failure.side(), {}};
  } catch (const std::exception& other) {
    return Verdict{std::nullopt, std::nullopt, std::nullopt, other.what()};
  }
}

// The side is part of the verdict only for a zero diameter.
bool Agree(const Verdict& expected, const Verdict& actual) {
  if (expected.outcome) return actual.outcome == expected.outcome;
  if (actual.outcome || !actual.otherError.empty() || actual.reason != expected.reason)
    return false;
  return *expected.reason != Reason::ZeroDiameter || actual.side == expected.side;
}

// ---------------------------------------------------------------------------
// Printing.

std::string Escaped(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      std::array<char, 8> hex{};
      std::snprintf(hex.data(), hex.size(), "\\x%02X", byte);
      out += hex.data();
    }
  }
  return out + "\"";
}

std::string KindName(const std::optional<SpeedKind>& kind) {
  if (!kind) return "none";
  switch (*kind) {
    case SpeedKind::RevPerMin:
      return "RevPerMin";
    case SpeedKind::RadPerSec:
      return "RadPerSec";
    case SpeedKind::LinearSpeed:
      return "LinearSpeed";
  }
  return "?";
}

std::string Describe(const GeneratedRequest& generated) {
  const RatioRequest& r = generated.request;
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(17);
  out << "inputKind " << KindName(r.inputKind) << ", outputKind " << KindName(r.outputKind)
      << "\n  inputSpeedText     " << Escaped(r.inputSpeedText) << "\n  inputDiameterText  "
      << Escaped(r.inputDiameterText) << "\n  outputSpeedText    " << Escaped(r.outputSpeedText)
      << "\n  outputDiameterText " << Escaped(r.outputDiameterText) << "\n  (numbers as generated:";
  for (const FieldText& field : generated.fields) {
    out << ' ';
    if (field.value) {
      out << *field.value;
    } else {
      out << "beyond-double";
    }
  }
  out << ")";
  return out.str();
}

std::string Describe(const Verdict& verdict) {
  if (verdict.outcome) {
    return "{" + Escaped(verdict.outcome->title) + ", " + Escaped(verdict.outcome->prompt) + " (" +
           verdict.outcome->prompt + "), icon " +
           std::to_string(static_cast<int>(verdict.outcome->icon)) + "}";
  }
  if (!verdict.reason) return "other exception: " + verdict.otherError;
  std::string text = "ArithmeticFailure(";
  switch (*verdict.reason) {
    case Reason::ZeroOutputSpeed:
      text += "ZeroOutputSpeed";
      break;
    case Reason::ZeroDiameter:
      text += "ZeroDiameter";
      break;
    case Reason::OutOfRange:
      text += "OutOfRange";
      break;
  }
  if (verdict.side) text += verdict.side == SpeedSide::Input ? ", Input" : ", Output";
  return text + ")";
}

// ---------------------------------------------------------------------------
// The requests.

std::optional<SpeedKind> GenerateKind(Rng& rng, const Profile& profile) {
  if (Chance(rng, profile.noKindChance)) return std::nullopt;
  return Pick(rng, std::vector<SpeedKind>{SpeedKind::RevPerMin, SpeedKind::RadPerSec,
                                         SpeedKind::LinearSpeed});
}

GeneratedRequest GenerateRequest(Rng& rng, const Profile& profile) {
  GeneratedRequest generated;
  generated.request.inputKind = GenerateKind(rng, profile);
  generated.request.outputKind = GenerateKind(rng, profile);
  for (FieldText& field : generated.fields) field = GenerateField(rng, profile);
  if (Chance(rng, profile.unitOutputChance)) generated.fields[2] = {"1", 1.0};
  // A diameter field of a side that has no linear speed holds what the window
  // left there, often "Enabled"; it must have no effect.
  for (const std::size_t diameter : {std::size_t{1}, std::size_t{3}}) {
    const auto& kind = diameter == 1 ? generated.request.inputKind : generated.request.outputKind;
    if (kind != SpeedKind::LinearSpeed && Chance(rng, 0.5))
      generated.fields[diameter] = {"Enabled", 0.0};
  }
  generated.request.inputSpeedText = generated.fields[0].text;
  generated.request.inputDiameterText = generated.fields[1].text;
  generated.request.outputSpeedText = generated.fields[2].text;
  generated.request.outputDiameterText = generated.fields[3].text;
  return generated;
}

// Columns: name, seed, requests; weights of empty, blanks only, decimal, radix
// and no-number texts; weights of the decimal scales (ordinary, zero, huge,
// tiny, long digits, boundary, float pattern); chances of decoration, of a
// tail, of a side without kind and of an output speed of 1.
const Profile kProfiles[] = {
    {"ordinary decimals", 0x5eed0001, 4000, {1, 1, 20, 1, 1}, {20, 1, 0, 0, 1, 0, 0},
     0.1, 0.1, 0.02, 0.05},
    {"decorated texts", 0x5eed0002, 4000, {1, 2, 10, 6, 4}, {10, 2, 1, 1, 2, 1, 1},
     0.8, 0.6, 0.03, 0.05},
    {"extreme magnitudes", 0x5eed0003, 4000, {0, 1, 20, 3, 1}, {6, 2, 8, 8, 4, 4, 2},
     0.3, 0.3, 0.02, 0.3},
    {"missing and zero", 0x5eed0004, 4000, {6, 4, 10, 1, 4}, {6, 6, 0, 1, 0, 0, 0},
     0.3, 0.3, 0.15, 0.05},
    // Ratios that land on any float, subnormal and largest included.
    {"any float ratio", 0x5eed0005, 4000, {0, 0, 10, 0, 0}, {1, 0, 0, 0, 0, 0, 9},
     0.2, 0.2, 0.0, 0.9},
    // Subnormal radii, where halving a rounded quotient is no longer exact.
    {"tiny magnitudes", 0x5eed0006, 2000, {0, 0, 10, 0, 0}, {1, 1, 0, 10, 0, 0, 0},
     0.2, 0.2, 0.0, 0.0},
};

// Runs every profile through the model and CalculateRatio; reports at most
// kMaxReportedMismatches differences, then checks that every ending was reached.
void ExpectAgreementOnGeneratedRequests() {
  std::array<int, static_cast<std::size_t>(Ending::Count)> endings{};
  int mismatches = 0;
  for (const Profile& profile : kProfiles) {
    SCOPED_TRACE(profile.name);
    Rng rng(profile.seed);
    for (int i = 0; i < profile.requests && mismatches < kMaxReportedMismatches; ++i) {
      const GeneratedRequest generated = GenerateRequest(rng, profile);
      const Modelled expected = Model(generated);
      ++endings[static_cast<std::size_t>(expected.ending)];
      const Verdict actual = Observe(generated.request);
      if (!Agree(expected.verdict, actual)) {
        ++mismatches;
        ADD_FAILURE() << "request " << i << ": " << Describe(generated) << "\n  expected "
                      << Describe(expected.verdict) << "\n  actual   " << Describe(actual);
      }
    }
  }
  ASSERT_EQ(mismatches, 0) << "stopped after " << kMaxReportedMismatches << " mismatches at most";

  // The sweep means something only if it reached every ending often.
  for (std::size_t ending = 0; ending < endings.size(); ++ending) {
    EXPECT_GE(endings[ending], 20) << "too few requests end in: " << kEndingNames[ending];
  }
}

TEST(ReferenceModelTest, CalculateRatioAgreesWithTheModelOnGeneratedRequests) {
  ExpectAgreementOnGeneratedRequests();
}

// The same requests while the process follows a locale whose decimal
// separator is the comma, as a desktop session may set it.
class ReferenceModelCommaLocaleTest : public testing::Test {
 protected:
  void SetUp() override {
    previousC_ = std::setlocale(LC_ALL, nullptr);
    for (const char* name :
         {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE.utf8", "fr_FR.utf8"}) {
      try {
        previousCpp_ = std::locale::global(std::locale(name));
        changed_ = true;
      } catch (const std::runtime_error&) {
        continue;  // not installed; try the next one
      }
      // Emscripten's C library accepts any locale name and keeps the full stop.
      if (std::string_view(std::localeconv()->decimal_point) == ",") return;
      TearDown();
      changed_ = false;
    }
    GTEST_SKIP() << "no comma-decimal locale can be set here; on Linux, "
                    "scripts/install-deps.sh generates de_DE.UTF-8";
  }
  void TearDown() override {
    if (!changed_) return;
    std::locale::global(previousCpp_);
    std::setlocale(LC_ALL, previousC_.c_str());
  }

 private:
  std::string previousC_;
  std::locale previousCpp_;
  bool changed_ = false;
};

TEST_F(ReferenceModelCommaLocaleTest, CalculateRatioAgreesWithTheModelUnderACommaLocale) {
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  ExpectAgreementOnGeneratedRequests();
}

}  // namespace
