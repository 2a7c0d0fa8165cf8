#include <clocale>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "calc/ratio_calculation.h"
#include "calc/text_to_number.h"

namespace calc {
void PrintTo(const RatioOutcome& outcome, std::ostream* os) {
  *os << '{' << outcome.title << ", " << outcome.prompt << ", " << static_cast<int>(outcome.icon)
      << '}';
}
}  // namespace calc

namespace {

using calc::ArithmeticFailure;
using calc::CalculateRatio;
using calc::MessageIcon;
using calc::RatioOutcome;
using calc::RatioRequest;
using calc::SpeedKind;
using calc::SpeedSide;

constexpr auto kRev = SpeedKind::RevPerMin;
constexpr auto kRad = SpeedKind::RadPerSec;
constexpr auto kLin = SpeedKind::LinearSpeed;

// The texts byte for byte: the full-width marks are U+FF01 (EF BC 81),
// U+FF0C (EF BC 8C) and U+FF1A (EF BC 9A).
const std::string kResultTitle = "Result\xef\xbc\x81";
const std::string kResultLabel = "\xe4\xbc\xa0\xe5\x8a\xa8\xe6\xaf\x94\xe4\xb8\xba\xef\xbc\x9a";
const RatioOutcome kIncomplete{"Error\xef\xbc\x81",
                               "\xe6\x95\xb0\xe5\x80\xbc\xe8\xbe\x93\xe5\x85\xa5\xe4\xb8\x8d"
                               "\xe5\xae\x8c\xe5\x85\xa8\xef\xbc\x81",
                               MessageIcon::Critical};
const RatioOutcome kNoKind{
    "Error!",
    "您还没有指定输入或输出速度的类型\xef\xbc\x8c请检查是否已经选定了对应的单选按钮\xef\xbc\x81",
    MessageIcon::Critical};

RatioOutcome Result(const std::string& number) {
  return {kResultTitle, kResultLabel + number, MessageIcon::Information};
}

RatioRequest Request(std::optional<SpeedKind> in, std::string inSpeed, std::string inDiameter,
                     std::optional<SpeedKind> out, std::string outSpeed,
                     std::string outDiameter) {
  return {in, out, std::move(inSpeed), std::move(inDiameter), std::move(outSpeed),
          std::move(outDiameter)};
}

struct OutcomeCase {
  const char* name;
  RatioRequest request;
  RatioOutcome expected;
};
void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

// Each of the nine pairs, with the diameter field of a rotational side
// holding the "Enabled" that the window writes there.
const OutcomeCase kOutcomeCases[] = {
    {"row1_rev_rev", Request(kRev, "1500", "Enabled", kRev, "600", "Enabled"), Result(" 2.5")},
    {"row2_rev_rad_road_of_one_calculation",
     Request(kRev, "1500", "Enabled", kRad, "100", "Enabled"), Result(" 1.570796")},
    {"row3_rev_linear", Request(kRev, "1500", "Enabled", kLin, "1", "100"), Result(" 7.853981")},
    {"row4_rad_rev", Request(kRad, "100", "Enabled", kRev, "1500", "Enabled"),
     Result(" 0.6366198")},
    {"row5_rad_rad_not_converted", Request(kRad, "10", "Enabled", kRad, "4", "Enabled"),
     Result(" 2.5")},
    {"row6_rad_linear", Request(kRad, "10", "Enabled", kLin, "1", "100"), Result(" 0.5")},
    {"row7_linear_rev", Request(kLin, "1", "100", kRev, "1500", "Enabled"),
     Result(" 0.127324")},
    {"row8_linear_rad", Request(kLin, "1", "100", kRad, "10", "Enabled"), Result(" 2")},
    {"row9_linear_linear", Request(kLin, "2", "100", kLin, "1", "100"), Result(" 2")},
    // Signs and zero.
    {"zero_input_speed", Request(kRev, "0", "", kRev, "6", ""), Result(" 0")},
    {"negative_ratio", Request(kRev, "-15", "", kRev, "6", ""), Result("-2.5")},
    {"minus_zero_input_reads_zero", Request(kRev, "-0", "", kRev, "6", ""), Result(" 0")},
    {"blank_input_speed_is_zero", Request(kRev, " ", "", kRev, "6", ""), Result(" 0")},
    {"diameters_not_tested_on_row1", Request(kRev, "1500", "", kRev, "600", ""),
     Result(" 2.5")},
    {"field_text_read_not_trimmed_for_emptiness", Request(kRev, "1 500", "", kRev, " 600 ", ""),
     Result(" 2.5")},
    // Seven significant digits, exponent notation, tiny values.
    {"large_ratio", Request(kRev, "12345678", "", kRev, "1", ""), Result(" 1.234568E+07")},
    {"small_ratio", Request(kRev, "1", "", kRev, "100000", ""), Result(" 1E-05")},
    {"largest_float", Request(kRev, "3.4028234663852886e38", "", kRev, "1", ""),
     Result(" 3.402823E+38")},
    {"just_below_float_overflow", Request(kRev, "3.4028235677973362e38", "", kRev, "1", ""),
     Result(" 3.402823E+38")},
    {"subnormal_float", Request(kRev, "1e-45", "", kRev, "1", ""), Result(" 1.401298E-45")},
    {"below_float_range_becomes_zero", Request(kRev, "1e-50", "", kRev, "1", ""), Result(" 0")},
    {"negative_below_float_range", Request(kRev, "-1e-50", "", kRev, "1", ""), Result(" 0")},
    // No speed kind comes first, then empty fields.
    {"no_input_kind", Request(std::nullopt, "1", "1", kRev, "1", "1"), kNoKind},
    {"no_output_kind", Request(kRev, "1", "1", std::nullopt, "1", "1"), kNoKind},
    {"no_kind_with_every_field_empty", Request(std::nullopt, "", "", kRev, "", ""), kNoKind},
    {"no_kind_on_either_side", Request(std::nullopt, "", "", std::nullopt, "", ""), kNoKind},
    {"no_kind_before_arithmetic", Request(kRev, "1", "", std::nullopt, "0", ""), kNoKind},
    {"empty_input_speed", Request(kRev, "", "", kRev, "600", ""), kIncomplete},
    {"empty_output_speed", Request(kRev, "1500", "", kRev, "", ""), kIncomplete},
    {"row3_empty_output_diameter", Request(kRev, "1500", "", kLin, "1", ""), kIncomplete},
    {"row7_empty_input_diameter", Request(kLin, "1", "", kRev, "1500", ""), kIncomplete},
    {"row9_empty_input_diameter", Request(kLin, "1", "", kLin, "1", "100"), kIncomplete},
    {"row9_empty_output_diameter", Request(kLin, "1", "100", kLin, "1", ""), kIncomplete},
    {"incomplete_before_arithmetic", Request(kRev, "", "", kRev, "0", ""), kIncomplete},
};

class CalculateRatioTest : public testing::TestWithParam<OutcomeCase> {};

TEST_P(CalculateRatioTest, GivesTheOutcomeToShow) {
  EXPECT_EQ(CalculateRatio(GetParam().request), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Requests, CalculateRatioTest, testing::ValuesIn(kOutcomeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  RatioRequest request;
  ArithmeticFailure::Reason reason;
  std::optional<SpeedSide> side;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

const FailureCase kFailureCases[] = {
    {"output_speed_zero", Request(kRev, "1500", "", kRev, "0", ""),
     ArithmeticFailure::Reason::ZeroOutputSpeed, std::nullopt},
    {"zero_over_zero", Request(kRev, "0", "", kRev, "0", ""),
     ArithmeticFailure::Reason::ZeroOutputSpeed, std::nullopt},
    {"output_speed_blank", Request(kRev, "1500", "", kRev, " ", ""),
     ArithmeticFailure::Reason::ZeroOutputSpeed, std::nullopt},
    {"output_speed_letters", Request(kRev, "1500", "", kRad, "abc", ""),
     ArithmeticFailure::Reason::ZeroOutputSpeed, std::nullopt},
    {"output_surface_speed_zero", Request(kRev, "1500", "", kLin, "0", "100"),
     ArithmeticFailure::Reason::ZeroOutputSpeed, std::nullopt},
    {"output_diameter_zero", Request(kRev, "1500", "", kLin, "1", "0"),
     ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Output},
    {"output_diameter_blank", Request(kRev, "1500", "", kLin, "1", " "),
     ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Output},
    {"input_diameter_zero", Request(kLin, "1", "0", kRev, "1500", ""),
     ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Input},
    {"input_diameter_zero_speed_zero", Request(kLin, "0", "0", kRev, "1500", ""),
     ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Input},
    {"input_side_reported_before_output", Request(kLin, "1", "0", kLin, "1", "0"),
     ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Input},
    {"input_side_overflow_before_output_zero", Request(kRev, "1e400", "", kRev, "0", ""),
     ArithmeticFailure::Reason::OutOfRange, std::nullopt},
    {"diameter_underflows_to_zero_radius", Request(kLin, "1", "1e-322", kRev, "1", ""),
     ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Input},
    {"beyond_single_precision", Request(kRev, "1" + std::string(39, '0'), "", kRev, "1", ""),
     ArithmeticFailure::Reason::OutOfRange, std::nullopt},
    {"negative_beyond_single_precision", Request(kRev, "-1e39", "", kRev, "1", ""),
     ArithmeticFailure::Reason::OutOfRange, std::nullopt},
    // Half an ulp above the largest float rounds to infinity.
    {"float_overflow_threshold", Request(kRev, "3.4028235677973366e38", "", kRev, "1", ""),
     ArithmeticFailure::Reason::OutOfRange, std::nullopt},
    {"quotient_beyond_double", Request(kRev, "1e300", "", kRev, "1e-300", ""),
     ArithmeticFailure::Reason::OutOfRange, std::nullopt},
    {"input_text_beyond_double", Request(kRev, "1" + std::string(400, '0'), "", kRev, "1", ""),
     ArithmeticFailure::Reason::OutOfRange, std::nullopt},
    {"rad_conversion_overflows", Request(kRad, "1e307", "", kRev, "1", ""),
     ArithmeticFailure::Reason::OutOfRange, std::nullopt},
};

class CalculateRatioFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(CalculateRatioFailureTest, FailsWithItsReason) {
  const FailureCase& c = GetParam();
  try {
    const RatioOutcome outcome = CalculateRatio(c.request);
    ADD_FAILURE() << "no failure, but " << outcome.prompt;
  } catch (const ArithmeticFailure& failure) {
    EXPECT_EQ(failure.reason(), c.reason);
    EXPECT_EQ(failure.side(), c.side);
  }
}

INSTANTIATE_TEST_SUITE_P(Requests, CalculateRatioFailureTest, testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct NumberTextCase {
  const char* name;
  float value;
  const char* text;
};

const NumberTextCase kNumberTextCases[] = {
    {"whole", 3, " 3"},
    {"fraction", 2.5f, " 2.5"},
    {"negative", -2.5f, "-2.5"},
    {"below_one_has_leading_zero", 0.5f, " 0.5"},
    {"seven_digits_rounded", 1.5707963f, " 1.570796"},
    {"trailing_zeros_dropped", 0.12732396f, " 0.127324"},
    {"largest_plain", 9999999, " 9999999"},
    {"exponent_from_ten_million", 1e7f, " 1E+07"},
    {"rounding_carries_into_exponent", 9999999.5f, " 1E+07"},
    {"large_with_digits", 12345678, " 1.234568E+07"},
    {"tie_goes_to_the_even_digit", 1048576.5f, " 1048576"},
    {"tie_rounds_up_to_the_even_digit", 1048577.5f, " 1048578"},
    {"smallest_subnormal", std::numeric_limits<float>::denorm_min(), " 1.401298E-45"},
    {"smallest_plain", 0.0001f, " 0.0001"},
    {"exponent_below_ten_thousandth", 0.00001f, " 1E-05"},
    {"three_digit_exponent_not_needed", 3.4028235e38f, " 3.402823E+38"},
    {"negative_exponent_form", -1.5e-20f, "-1.5E-20"},
    {"zero", 0, " 0"},
    {"negative_zero", -0.0f, " 0"},
};

TEST(NumberToTextTest, SevenSignificantDigitsWithASignPlace) {
  for (const NumberTextCase& c : kNumberTextCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(calc::NumberToText(c.value), c.text);
  }
}

// Numbers read and written the same under a locale whose decimal separator
// is a comma. The locale is switched for these tests only.
class CommaLocaleTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::setlocale(LC_ALL, nullptr);
    // The first name is Linux's, the second Windows'.
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_ALL, "German_Germany.1252") == nullptr) {
      GTEST_SKIP() << "no German locale can be set here; on Linux, "
                      "scripts/install-deps.sh generates de_DE.UTF-8";
    }
    // Emscripten's C library accepts any locale name and keeps the full stop.
    if (std::string_view(std::localeconv()->decimal_point) != ",") {
      GTEST_SKIP() << "the German locale set here keeps the full stop as decimal separator";
    }
  }
  void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

 private:
  std::string previous_;
};

TEST_F(CommaLocaleTest, FullStopStaysTheOnlyDecimalSeparator) {
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(calc::TextToNumber("3.5"), 3.5);
  EXPECT_EQ(calc::TextToNumber("3,5"), 3);
  EXPECT_EQ(calc::NumberToText(2.5f), " 2.5");
  EXPECT_EQ(CalculateRatio(Request(kRev, "1500", "", kRad, "100", "")), Result(" 1.570796"));
}

}  // namespace
