#include "calc/ratio_calculation.h"

#include <cmath>
#include <string_view>

#include "calc/float_chars.h"
#include "calc/text_to_number.h"

namespace calc {
namespace {

constexpr std::string_view kResultTitle = "Result！";
constexpr std::string_view kResultLabel = "传动比为：";
constexpr std::string_view kIncompleteTitle = "Error！";
constexpr std::string_view kIncompletePrompt = "数值输入不完全！";
// The no-kind title ends with an ASCII "!", unlike the full-width "！" of the
// other two titles. That is how the program has always titled this box, and it
// is kept on purpose: do not make the three titles alike.
constexpr std::string_view kNoKindTitle = "Error!";
constexpr std::string_view kNoKindPrompt =
    "您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！";

// Half a unit in the last place above the largest float: a double at or
// beyond it rounds to infinity when narrowed to nearest.
constexpr double kFloatOverflowThreshold = 0x1.ffffffp127;

// One side's speed in rev/min (or, when both sides are rad/s, as entered).
// The speed text is read before the diameter text.
double SideSpeed(SpeedKind kind, SpeedSide side, const std::string& speedText,
                 const std::string& diameterText, bool convertRadPerSec) {
  const double speed = TextToNumber(speedText);
  switch (kind) {
    case SpeedKind::RevPerMin:
      return speed;
    case SpeedKind::RadPerSec:
      return convertRadPerSec ? RadPerSecToRevPerMin(speed) : speed;
    case SpeedKind::LinearSpeed:
      break;
  }
  const double radius = DiameterToRadius(TextToNumber(diameterText));
  return LinearSpeedToRevPerMin(speed, radius, side);
}

// Every text the pair of kinds needs must hold at least one character; a
// diameter is needed only on a linear-speed side.
bool NeededTextsPresent(const RatioRequest& r) {
  return !r.inputSpeedText.empty() && !r.outputSpeedText.empty() &&
         (r.inputKind != SpeedKind::LinearSpeed || !r.inputDiameterText.empty()) &&
         (r.outputKind != SpeedKind::LinearSpeed || !r.outputDiameterText.empty());
}

}  // namespace

RatioOutcome CalculateRatio(const RatioRequest& request) {
  if (!request.inputKind || !request.outputKind) {
    return {std::string(kNoKindTitle), std::string(kNoKindPrompt), MessageIcon::Critical};
  }
  if (!NeededTextsPresent(request)) {
    return {std::string(kIncompleteTitle), std::string(kIncompletePrompt), MessageIcon::Critical};
  }

  // When both sides are in rad/s, neither is converted: the two numbers are
  // divided as entered. This is a rule the program keeps on purpose, not a
  // shortcut that gives the same ratio: at the edges it differs. 1e307 rad/s
  // against 1e300 rad/s gives " 1E+07" here, while the same speeds with the
  // output in rev/min fail as out of range, because 1e307 * 30 overflows.
  const bool convertRadPerSec = !(*request.inputKind == SpeedKind::RadPerSec &&
                                  *request.outputKind == SpeedKind::RadPerSec);
  const double n1 = SideSpeed(*request.inputKind, SpeedSide::Input, request.inputSpeedText,
                              request.inputDiameterText, convertRadPerSec);
  const double n2 = SideSpeed(*request.outputKind, SpeedSide::Output, request.outputSpeedText,
                              request.outputDiameterText, convertRadPerSec);
  if (n2 == 0) throw ArithmeticFailure(ArithmeticFailure::Reason::ZeroOutputSpeed);

  const double quotient = n1 / n2;
  if (!(std::fabs(quotient) < kFloatOverflowThreshold)) {
    throw ArithmeticFailure(ArithmeticFailure::Reason::OutOfRange);
  }
  const auto ratio = static_cast<float>(quotient);

  std::string prompt(kResultLabel);
  prompt += NumberToText(ratio);
  return {std::string(kResultTitle), std::move(prompt), MessageIcon::Information};
}

std::string NumberToText(float ratio) {
  // "%.7G" without the locale: to_chars in general format with seven
  // significant digits writes what printf's %.7g would, in lower case.
  char digits[32];
  const auto result = GeneralToChars(std::begin(digits), std::end(digits), std::fabs(ratio), 7);
  std::string text(1, std::signbit(ratio) && ratio != 0 ? '-' : ' ');
  for (const char* c = digits; c != result.ptr; ++c) text.push_back(*c == 'e' ? 'E' : *c);
  return text;
}

}  // namespace calc
