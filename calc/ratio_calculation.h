#pragma once
// The OK button's calculation: from the chosen speed kinds and the four field
// texts to the one message box the window shows.
//
//   {RevPerMin "1500", RadPerSec "100"} -> "Result！" "传动比为： 1.570796" Information
//   {none, RevPerMin ...}               -> "Error!"  (no speed kind)          Critical
//   {RevPerMin "", RevPerMin "600"}     -> "Error！" "数值输入不完全！"         Critical
//   {RevPerMin "1", RevPerMin "0"}      -> throws ArithmeticFailure (ZeroOutputSpeed)

#include <optional>
#include <string>

#include "calc/speed_conversion.h"

namespace calc {

// The icon of a message box, carrying its message-box style value
// (icon plus a single OK button).
enum class MessageIcon : int {
  Information = 64,
  Critical = 16,
};

// The window's state at one press of OK: the selected kind of each side, and
// the four field texts (UTF-8) exactly as they stand.
struct RatioRequest {
  std::optional<SpeedKind> inputKind;
  std::optional<SpeedKind> outputKind;
  std::string inputSpeedText;
  std::string inputDiameterText;
  std::string outputSpeedText;
  std::string outputDiameterText;
};

// The message box to show: its caption, its text (UTF-8) and its icon.
struct RatioOutcome {
  std::string title;
  std::string prompt;
  MessageIcon icon;

  bool operator==(const RatioOutcome&) const = default;
};

// The ratio n1 / n2 of the request, narrowed to single precision, as a Result;
// or the No speed kind or Incomplete input outcome. Fails with
// ArithmeticFailure when n2 is 0, a diameter is 0, or a value leaves its range.
RatioOutcome CalculateRatio(const RatioRequest& request);

// The ratio's text: a sign place, then at most seven significant digits.
//   3 -> " 3"   2.5 -> " 2.5"   -2.5 -> "-2.5"   0.5 -> " 0.5"
//   12345678 -> " 1.234568E+07"   0.00001 -> " 1E-05"   -0.0 -> " 0"
std::string NumberToText(float ratio);

}  // namespace calc
