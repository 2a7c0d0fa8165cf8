#pragma once
// The one failure of the calculation: a division by zero, or a value beyond
// the range of its number type. It carries why it happened, never a message
// for the user: the window's general error handling words it.

#include <exception>
#include <optional>

namespace calc {

// Input is the driving side, Output the driven side.
enum class SpeedSide { Input, Output };

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
  // The side whose diameter is zero; empty when the caller did not name it.
  std::optional<SpeedSide> side() const noexcept { return side_; }
  // For logs and debuggers, in English: "division by zero: a shaft diameter is 0".
  const char* what() const noexcept override;

 private:
  Reason reason_;
  std::optional<SpeedSide> side_;
};

}  // namespace calc
