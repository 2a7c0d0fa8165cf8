#include "calc/arithmetic_failure.h"

namespace calc {

const char* ArithmeticFailure::what() const noexcept {
  switch (reason_) {
    case Reason::ZeroOutputSpeed: return "division by zero: the output speed is 0";
    case Reason::ZeroDiameter: return "division by zero: a shaft diameter is 0";
    case Reason::OutOfRange: break;
  }
  return "overflow: a value is beyond the range of its number type";
}

}  // namespace calc
