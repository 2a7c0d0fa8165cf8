#pragma once
// Speeds as the user gives them, and the rules that bring them to rev/min.
//
// Every value is an IEEE 754 double and every operation rounds to nearest, in
// exactly the order written here. The pi constant is 3.1415926 as written,
// not the full-precision pi.

#include <exception>
#include <optional>
#include <string_view>

namespace calc {

// How one side's speed is entered.
enum class SpeedKind {
  RevPerMin,    // rotational speed in revolutions per minute
  RadPerSec,    // angular speed in radians per second
  LinearSpeed,  // surface speed in m/s, with the shaft diameter in mm
};

// Input is the driving side, Output the driven side.
enum class SpeedSide { Input, Output };

inline constexpr double kRevPerMinFactor = 30;  // 60 / 2, without the division by pi
inline constexpr double kPi = 3.1415926;
inline constexpr double kMillimetresPerMetre = 1000;
inline constexpr double kDiameterPerRadius = 2;

// The one failure of the calculation: a division by zero, or a value beyond
// the range of its number type. It carries why it happened, never a message
// for the user.
class ArithmeticFailure : public std::exception {
 public:
  enum class Reason {
    ZeroOutputSpeed,  // the output speed n2 is 0, so the ratio divides by zero
    ZeroDiameter,     // a shaft diameter gives a radius of 0
    OutOfRange,       // a number left the double (or, for the ratio, single) range
  };

  explicit ArithmeticFailure(Reason reason, std::optional<SpeedSide> side = std::nullopt) noexcept
      : reason_(reason), side_(side) {}

  Reason reason() const noexcept { return reason_; }
  // The side whose diameter is zero; empty when the side is not known.
  std::optional<SpeedSide> side() const noexcept { return side_; }
  const char* what() const noexcept override;

 private:
  Reason reason_;
  std::optional<SpeedSide> side_;
};

// The number a field's text stands for. Never fails on ordinary text.
//   "1 500" -> 1500     "3.5mm" -> 3.5    "1,5" -> 1       ".5" -> 0.5
//   "&H10" -> 16        "&O17" -> 15      "&HFFFF" -> -1   "abc" -> 0
//   "1.5E3" -> 1500     "+5" -> 5         "１５００" -> 1500 "3。5" -> 3.5
// Blanks, tabs, line feeds, carriage returns and the ideographic space are
// dropped wherever they stand. Fails with ArithmeticFailure (OutOfRange) only
// for a number beyond the double range, such as 1 followed by 400 zeros.
double TextToNumber(std::string_view text);

// (angularSpeed * 30) / 3.1415926.  100 -> 954.9296748407161
double RadPerSecToRevPerMin(double angularSpeed);

// (diameterMm / 1000) / 2, in metres.  100 -> 0.05
double DiameterToRadius(double diameterMm);

// ((surfaceSpeed / radius) * 30) / 3.1415926.  (1, 0.05) -> 190.98593496814323
// A radius of 0 fails with ZeroDiameter, whatever the surface speed.
double LinearSpeedToRevPerMin(double surfaceSpeed, double radius);

}  // namespace calc
