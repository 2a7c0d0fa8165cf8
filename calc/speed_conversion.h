#pragma once
// Speeds as the user gives them, and the rules that bring them to rev/min.
//
// Every value is an IEEE 754 double and every operation rounds to nearest, in
// exactly the order written here.

#include <optional>

#include "calc/arithmetic_failure.h"

namespace calc {

// How one side's speed is entered.
enum class SpeedKind {
  RevPerMin,    // rotational speed in revolutions per minute
  RadPerSec,    // angular speed in radians per second
  LinearSpeed,  // surface speed in m/s, with the shaft diameter in mm
};

inline constexpr double kRevPerMinFactor = 30;  // 60 / 2, without the division by pi
// Pi as the program has always written it, 3.1415926, and deliberately not the
// full-precision 3.141592653589793: users compare the ratios with those they
// got before, and the last digits differ (100 rad/s is 954.9296748407161
// rev/min here, 954.9296585513721 with the full pi). Keep it.
inline constexpr double kPi = 3.1415926;
inline constexpr double kMillimetresPerMetre = 1000;
inline constexpr double kDiameterPerRadius = 2;

// (angularSpeed * 30) / 3.1415926.  100 -> 954.9296748407161
double RadPerSecToRevPerMin(double angularSpeed);

// (diameterMm / 1000) / 2, in metres.  100 -> 0.05
double DiameterToRadius(double diameterMm);

// ((surfaceSpeed / radius) * 30) / 3.1415926.  (1, 0.05) -> 190.98593496814323
// A radius of 0 fails with ZeroDiameter, naming `side`, whatever the surface
// speed.
double LinearSpeedToRevPerMin(double surfaceSpeed, double radius,
                              std::optional<SpeedSide> side = std::nullopt);

}  // namespace calc
