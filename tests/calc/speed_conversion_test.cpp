#include <limits>

#include <gtest/gtest.h>

#include "calc/speed_conversion.h"

namespace {

using calc::ArithmeticFailure;

TEST(SpeedConversionTest, RadPerSecUsesThePiConstantAsWritten) {
  struct Case {
    const char* name;
    double angularSpeed;
    double expected;
  };
  const Case cases[] = {
      // With full-precision pi this would be 954.9296585513721.
      {"hundred", 100, 954.9296748407161},
      {"zero", 0, 0},
      {"negative", -100, -954.9296748407161},
      // Multiplying first, then dividing; one combined factor would give
      // 0.9549296748407162.
      {"order_of_operations", 0.1, 0.9549296748407161},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(calc::RadPerSecToRevPerMin(c.angularSpeed), c.expected);
  }
}

TEST(SpeedConversionTest, DiameterBecomesRadiusInMetres) {
  EXPECT_EQ(calc::DiameterToRadius(100), 0.05);
  EXPECT_EQ(calc::DiameterToRadius(0), 0);
  // Too small for the double range after the division: no failure, radius 0.
  EXPECT_EQ(calc::DiameterToRadius(std::numeric_limits<double>::denorm_min()), 0);
}

TEST(SpeedConversionTest, LinearSpeed) {
  EXPECT_EQ(calc::LinearSpeedToRevPerMin(1, 0.05), 190.98593496814323);
  EXPECT_EQ(calc::LinearSpeedToRevPerMin(2, 0.05), 381.97186993628645);
  EXPECT_EQ(calc::LinearSpeedToRevPerMin(0, 0.05), 0);
}

TEST(SpeedConversionTest, FailuresAtTheLimits) {
  struct Case {
    const char* name;
    double (*convert)();
    ArithmeticFailure::Reason reason;
  };
  const Case cases[] = {
      {"radius_zero", [] { return calc::LinearSpeedToRevPerMin(1, 0); },
       ArithmeticFailure::Reason::ZeroDiameter},
      {"radius_zero_speed_zero", [] { return calc::LinearSpeedToRevPerMin(0, 0); },
       ArithmeticFailure::Reason::ZeroDiameter},
      {"radius_minus_zero", [] { return calc::LinearSpeedToRevPerMin(1, -0.0); },
       ArithmeticFailure::Reason::ZeroDiameter},
      {"angular_speed_overflows", [] { return calc::LinearSpeedToRevPerMin(1e300, 1e-300); },
       ArithmeticFailure::Reason::OutOfRange},
      {"times_thirty_overflows", [] { return calc::LinearSpeedToRevPerMin(1e307, 1); },
       ArithmeticFailure::Reason::OutOfRange},
      {"rad_per_sec_overflows", [] { return calc::RadPerSecToRevPerMin(1e307); },
       ArithmeticFailure::Reason::OutOfRange},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.convert();
      ADD_FAILURE() << "no failure";
    } catch (const ArithmeticFailure& failure) {
      EXPECT_EQ(failure.reason(), c.reason);
    }
  }
}

}  // namespace
