#include "calc/speed_conversion.h"

#include <cmath>

namespace calc {
namespace {

double Finite(double value) {
  if (!std::isfinite(value)) throw ArithmeticFailure(ArithmeticFailure::Reason::OutOfRange);
  return value;
}

}  // namespace

double RadPerSecToRevPerMin(double angularSpeed) {
  const double product = angularSpeed * kRevPerMinFactor;
  return Finite(product / kPi);
}

double DiameterToRadius(double diameterMm) {
  return diameterMm / kMillimetresPerMetre / kDiameterPerRadius;
}

double LinearSpeedToRevPerMin(double surfaceSpeed, double radius, std::optional<SpeedSide> side) {
  if (radius == 0) throw ArithmeticFailure(ArithmeticFailure::Reason::ZeroDiameter, side);
  const double angularSpeed = Finite(surfaceSpeed / radius);
  const double product = Finite(angularSpeed * kRevPerMinFactor);
  return Finite(product / kPi);
}

}  // namespace calc
