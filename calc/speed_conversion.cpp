#include "calc/speed_conversion.h"

#include <cmath>

namespace calc {
namespace {

double Finite(double value) {
  if (!std::isfinite(value)) throw ArithmeticFailure(ArithmeticFailure::Reason::OutOfRange);
  return value;
}

}  // namespace

const char* ArithmeticFailure::what() const noexcept {
  switch (reason_) {
    case Reason::ZeroOutputSpeed: return "division by zero: the output speed is 0";
    case Reason::ZeroDiameter: return "division by zero: a shaft diameter is 0";
    case Reason::OutOfRange: break;
  }
  return "overflow: a value is beyond the range of its number type";
}

double RadPerSecToRevPerMin(double angularSpeed) {
  const double product = angularSpeed * kRevPerMinFactor;
  return Finite(product / kPi);
}

double DiameterToRadius(double diameterMm) {
  return diameterMm / kMillimetresPerMetre / kDiameterPerRadius;
}

double LinearSpeedToRevPerMin(double surfaceSpeed, double radius) {
  if (radius == 0) throw ArithmeticFailure(ArithmeticFailure::Reason::ZeroDiameter);
  const double angularSpeed = Finite(surfaceSpeed / radius);
  const double product = Finite(angularSpeed * kRevPerMinFactor);
  return Finite(product / kPi);
}

}  // namespace calc
