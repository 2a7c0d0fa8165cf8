// libFuzzer target for the calculation: field text to number, and the OK
// button's calculation on arbitrary speed kinds and field texts.
//
// Input layout:
//   byte 0   the input side's kind, byte 1 the output side's, each by its value
//            modulo 4: 0 none, 1 RevPerMin, 2 RadPerSec, 3 LinearSpeed (so the
//            digits '0' to '3' read as these kinds in a seed file);
//   then an optional '|', dropped;
//   the rest split at the first three '|' into inputSpeedText,
//            inputDiameterText, outputSpeedText and outputDiameterText (a
//            missing field is empty; later '|' belong to the last field).
//   "12|1500|Enabled|100|Enabled"  -> RevPerMin 1500 against RadPerSec 100
// TextToNumber also reads the whole input as one text, once as it is and once
// after a blank, which takes it past the in-place reader of plain decimals.
//
// Every broken expectation prints what broke and aborts, so that libFuzzer
// keeps the input as a crash.

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "calc/ratio_calculation.h"
#include "calc/speed_conversion.h"
#include "calc/text_to_number.h"

namespace {

using calc::ArithmeticFailure;
using calc::MessageIcon;
using calc::RatioOutcome;
using calc::RatioRequest;
using calc::SpeedKind;

constexpr char kFieldSeparator = '|';
constexpr std::string_view kResultTitle = "Result！";
constexpr std::string_view kResultLabel = "传动比为：";
constexpr std::size_t kMaxSignificantDigits = 7;

[[noreturn]] void Fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "calc_fuzz: %s [%.*s]\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

void Require(bool holds, const char* what, std::string_view detail = {}) {
  if (!holds) Fail(what, detail);
}

std::optional<SpeedKind> KindFromByte(std::uint8_t byte) {
  switch (byte % 4) {
    case 1: return SpeedKind::RevPerMin;
    case 2: return SpeedKind::RadPerSec;
    case 3: return SpeedKind::LinearSpeed;
    default: return std::nullopt;
  }
}

// The next field of `rest`, up to the separator; the last field takes all.
std::string TakeField(std::string_view& rest, bool last) {
  const std::size_t end = last ? std::string_view::npos : rest.find(kFieldSeparator);
  if (end == std::string_view::npos) {
    std::string field(rest);
    rest = {};
    return field;
  }
  std::string field(rest.substr(0, end));
  rest.remove_prefix(end + 1);
  return field;
}

RatioRequest DecodeRequest(std::string_view input) {
  RatioRequest request;
  request.inputKind = input.size() > 0 ? KindFromByte(static_cast<std::uint8_t>(input[0]))
                                       : std::nullopt;
  request.outputKind = input.size() > 1 ? KindFromByte(static_cast<std::uint8_t>(input[1]))
                                        : std::nullopt;
  std::string_view rest = input.size() > 2 ? input.substr(2) : std::string_view{};
  if (rest.starts_with(kFieldSeparator)) rest.remove_prefix(1);
  request.inputSpeedText = TakeField(rest, false);
  request.inputDiameterText = TakeField(rest, false);
  request.outputSpeedText = TakeField(rest, false);
  request.outputDiameterText = TakeField(rest, true);
  return request;
}

// Whether every field that the chosen pair of kinds needs holds text; a
// diameter is needed only on a LinearSpeed side.
bool NeededFieldsFilled(const RatioRequest& r) {
  const bool inputDiameterNeeded = r.inputKind == SpeedKind::LinearSpeed;
  const bool outputDiameterNeeded = r.outputKind == SpeedKind::LinearSpeed;
  return !r.inputSpeedText.empty() && !r.outputSpeedText.empty() &&
         !(inputDiameterNeeded && r.inputDiameterText.empty()) &&
         !(outputDiameterNeeded && r.outputDiameterText.empty());
}

void CheckFailureText(const ArithmeticFailure& failure) {
  const char* what = failure.what();
  Require(what != nullptr && what[0] != '\0', "ArithmeticFailure has no description");
}

// What TextToNumber made of a text: the bits of its value, or its failure.
struct Reading {
  std::optional<std::uint64_t> bits;
  std::optional<ArithmeticFailure::Reason> failure;
  bool operator==(const Reading&) const = default;
};

Reading Read(std::string_view text) {
  try {
    const double value = calc::TextToNumber(text);
    Require(std::isfinite(value), "TextToNumber returned a value that is not finite");
    return {std::bit_cast<std::uint64_t>(value), std::nullopt};
  } catch (const ArithmeticFailure& failure) {
    CheckFailureText(failure);
    Require(failure.reason() == ArithmeticFailure::Reason::OutOfRange,
            "TextToNumber failed for another reason than OutOfRange");
    return {std::nullopt, failure.reason()};
  }
}

// Plain decimal text is read in place; a leading blank sends the same text to
// the general reader. Both must give the same bits or the same failure.
void CheckTextToNumber(std::string_view text) {
  const Reading direct = Read(text);
  const Reading general = Read(" " + std::string(text));
  Require(direct == general, "the in-place and the general reader disagree", text);
}

// The digits of a mantissa such as "1.234568" or "0.05", without the leading
// zeros and the decimal point.
std::size_t SignificantDigits(std::string_view mantissa) {
  std::size_t count = 0;
  bool leading = true;
  for (const char c : mantissa) {
    if (c == '.') continue;
    if (leading && c == '0') continue;
    leading = false;
    ++count;
  }
  return count;
}

// The ratio text after the label: a sign place (' ' or '-'), then a number
// that reads back as a finite single-precision magnitude with at most seven
// significant digits and no zeros at the end of its fraction.
void CheckRatioText(std::string_view text) {
  Require(text.size() >= 2, "ratio text too short", text);
  const char sign = text[0];
  Require(sign == ' ' || sign == '-', "ratio text does not begin with a sign place", text);
  const std::string_view number = sign == ' ' ? text.substr(1) : text;
  Require(std::string_view("+- ").find(text[1]) == std::string_view::npos,
          "ratio text has a second sign", text);

  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  Require(error == std::errc() && end == number.data() + number.size(),
          "ratio text does not read back as a number", text);
  Require(std::isfinite(value) && std::fabs(value) <= FLT_MAX,
          "ratio text is beyond the single-precision range", text);
  Require(sign == '-' ? value < 0 : value >= 0, "ratio text's sign place disagrees with its value",
          text);

  const std::string_view unsigned_number = sign == '-' ? number.substr(1) : number;
  const std::string_view mantissa = unsigned_number.substr(0, unsigned_number.find_first_of("eE"));
  Require(SignificantDigits(mantissa) <= kMaxSignificantDigits,
          "ratio text has more than seven significant digits", text);
  if (mantissa.find('.') != std::string_view::npos) {
    Require(mantissa.back() != '0' && mantissa.back() != '.',
            "ratio text keeps zeros or a point at the end of its fraction", text);
  }
}

void CheckResult(const RatioOutcome& outcome) {
  Require(outcome.title == kResultTitle, "unexpected title for a computed ratio", outcome.title);
  Require(outcome.icon == MessageIcon::Information, "a computed ratio without the Information icon",
          outcome.prompt);
  const std::string_view prompt = outcome.prompt;
  Require(prompt.starts_with(kResultLabel), "result prompt does not begin with its label", prompt);
  CheckRatioText(prompt.substr(kResultLabel.size()));
}

void CheckCalculateRatio(const RatioRequest& request) {
  static const RatioOutcome kNoSpeedKind{
      "Error!", "您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！",
      MessageIcon::Critical};
  static const RatioOutcome kIncompleteInput{"Error！", "数值输入不完全！", MessageIcon::Critical};

  const bool kindsChosen = request.inputKind.has_value() && request.outputKind.has_value();
  const bool fieldsFilled = NeededFieldsFilled(request);

  RatioOutcome outcome;
  try {
    outcome = calc::CalculateRatio(request);
  } catch (const ArithmeticFailure& failure) {
    CheckFailureText(failure);
    Require(kindsChosen, "ArithmeticFailure although a side has no speed kind");
    Require(fieldsFilled, "ArithmeticFailure although a needed field is empty");
    return;
  }

  if (!kindsChosen) {
    Require(outcome == kNoSpeedKind, "a side without a kind did not give the no-kind message",
            outcome.prompt);
  } else if (!fieldsFilled) {
    Require(outcome == kIncompleteInput, "an empty needed field did not give the incomplete message",
            outcome.prompt);
  } else {
    CheckResult(outcome);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  try {
    CheckTextToNumber(input);
    CheckCalculateRatio(DecodeRequest(input));
  } catch (const std::exception& e) {
    Fail("unexpected exception", e.what());
  } catch (...) {
    Fail("unexpected exception of unknown type");
  }
  return 0;
}
