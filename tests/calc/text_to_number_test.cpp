#include <cmath>
#include <cstring>
#include <ostream>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

#include <gtest/gtest.h>

#include "calc/arithmetic_failure.h"
#include "calc/float_chars.h"
#include "calc/text_to_number.h"

namespace {

using calc::ArithmeticFailure;
using calc::TextToNumber;

struct TextCase {
  const char* name;
  std::string text;
  double expected;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

// Compares bit for bit, so that -0 and 0 differ and no rounding slips by.
void ExpectSameDouble(double expected, double actual) {
  EXPECT_EQ(std::signbit(expected), std::signbit(actual)) << actual;
  EXPECT_EQ(expected, actual);
}

const TextCase kTextCases[] = {
    // No number begins.
    {"empty", "", 0},
    {"three_blanks", "   ", 0},
    {"letters", "abc", 0},
    {"lone_minus", "-", 0},
    {"lone_full_stop", ".", 0},
    {"minus_full_stop", "-.", 0},
    {"ampersand_alone", "&", 0},
    {"hex_prefix_without_digits", "&H", 0},
    {"hex_prefix_then_letter", "&HZ", 0},
    {"unknown_prefix", "&X10", 0},
    {"sign_before_prefix", "-&H10", 0},
    // Blanks dropped wherever they stand.
    {"blanks_between_digits", "1 500", 1500},
    {"blanks_around_and_inside", " 12 34 ", 1234},
    {"tab_digit_line_feed", "\t7\n", 7},
    {"carriage_return", "1\r\n2", 12},
    {"blank_inside_fraction", "3. 25", 3.25},
    {"blank_inside_exponent", "1 e 3", 1000},
    // The longest leading decimal number.
    {"negative_fraction", "-12.5", -12.5},
    {"leading_full_stop", ".5", 0.5},
    {"trailing_full_stop", "5.", 5},
    {"comma_ends", "3,5", 3},
    {"comma_ends_thousands", "1,5", 1},
    {"unit_after_number", "3.5mm", 3.5},
    {"second_full_stop_ends", "1.2.3", 1.2},
    {"second_minus_ends", "5-3", 5},
    {"currency_sign_ends", "$5", 0},
    {"minus_zero", "-0", -0.0},
    {"plus_sign", "+5", 5},
    {"plus_then_minus", "+-5", 0},
    {"leading_zeros", "007", 7},
    // Correct rounding, never through the locale.
    {"many_digits_round_correctly", "0.1000000000000000055511151231257827", 0.1},
    {"halfway_rounds_to_even", "9007199254740993", 9007199254740992.0},
    {"road_of_one_calculation_speed", "1500", 1500},
    // Exponent notation.
    {"exponent_upper", "1.5E3", 1500},
    {"exponent_lower_negative", "2e-3", 0.002},
    {"exponent_plus", "2E+2", 200},
    {"exponent_without_digits", "2E", 2},
    {"exponent_then_letter", "2Ex", 2},
    {"exponent_sign_without_digits", "2E-", 2},
    {"exponent_then_full_stop", "2E1.5", 20},
    {"tiny_becomes_subnormal", "1e-310", 1e-310},
    {"too_small_becomes_zero", "1e-400", 0},
    {"negative_too_small_becomes_minus_zero", "-1e-400", -0.0},
    {"zero_with_huge_exponent", "0e999999999999", 0},
    {"four_hundred_zeros_after_point", "0." + std::string(400, '0') + "1", 0},
    // Hexadecimal and octal.
    {"hex", "&H10", 16},
    {"octal", "&O17", 15},
    {"hex_lower_prefix", "&h10", 16},
    {"octal_lower_prefix", "&o17", 15},
    {"hex_lower_digits", "&Hff", 255},
    {"hex_sixteen_bit_signed", "&HFFFF", -1},
    {"hex_sixteen_bit_lowest", "&H8000", -32768},
    {"hex_sixteen_bit_highest", "&H7FFF", 32767},
    {"hex_leading_zeros_still_sixteen_bit", "&H0000FFFF", -1},
    {"hex_just_above_sixteen_bit", "&H10000", 65536},
    {"hex_thirty_two_bit_signed", "&HFFFFFFFF", -1},
    {"hex_thirty_two_bit_lowest", "&H80000000", -2147483648.0},
    {"hex_above_thirty_two_bit", "&H100000000", 4294967296.0},
    {"hex_long_unsigned_rounds", "&H20000000000001", 9007199254740992.0},
    {"hex_long_unsigned_rounds_up", "&H20000000000003", 9007199254740996.0},
    {"hex_beyond_sixteen_digits_tie_to_even", "&H200000000000010000", 0x1p69},
    {"hex_digit_far_beyond_breaks_the_tie", "&H2000000000000100000001", 0x1.0000000000001p85},
    {"hex_largest_double", "&HFFFFFFFFFFFFFB" + std::string(242, 'F'),
     std::numeric_limits<double>::max()},
    {"hex_stops_at_non_digit", "&H1G", 1},
    {"octal_sixteen_bit_signed", "&O177777", -1},
    {"octal_above_sixteen_bit", "&O200000", 65536},
    {"octal_thirty_two_bit_signed", "&O37777777777", -1},
    {"octal_above_thirty_two_bit", "&O40000000000", 4294967296.0},
    {"octal_stops_at_eight", "&O178", 15},
    {"octal_long_unsigned", "&O1000000000000000000000", 9223372036854775808.0},
    {"hex_with_blanks", "& H 1 0", 16},
    // Chinese input methods.
    {"full_width_digits", "１５００", 1500},
    {"full_width_full_stop", "３．５", 3.5},
    {"ideographic_full_stop", "3。5", 3.5},
    {"full_width_comma_ends", "３，５", 3},
    {"full_width_minus", "－２", -2},
    {"full_width_hex", "＆Ｈ１０", 16},
    {"ideographic_space_dropped", "1\u30005", 15},
    {"chinese_unit_ends", "3.5毫米", 3.5},
    {"chinese_before_number", "约3", 0},
    // Bytes that are not UTF-8 end the number and never crash.
    {"invalid_utf8_byte", "12\xff" "3", 12},
    {"truncated_full_width_digit", "7\xef\xbc", 7},
    {"lead_byte_then_ascii", "7\xef" "12", 7},
    {"nul_byte_ends", std::string("4\0" "2", 3), 4},
};

class TextToNumberTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextToNumberTest, ReadsTheLongestLeadingNumber) {
  ExpectSameDouble(GetParam().expected, TextToNumber(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Texts, TextToNumberTest, testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextToNumberTest, NumbersBeyondTheDoubleRangeFail) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"one_and_400_zeros", "1" + std::string(400, '0')},
      {"negative", "-1" + std::string(400, '0')},
      {"exponent", "1e309"},
      {"exponent_beyond_any_counter", "1e99999999999999999999"},
      {"megabyte_of_digits", std::string(1 << 20, '9')},
      {"hex_beyond_double", "&H" + std::string(300, 'F')},
      {"hex_rounding_up_to_two_to_the_1024", "&HFFFFFFFFFFFFFC" + std::string(242, '0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      TextToNumber(c.text);
      ADD_FAILURE() << "no failure";
    } catch (const ArithmeticFailure& failure) {
      EXPECT_EQ(failure.reason(), ArithmeticFailure::Reason::OutOfRange);
    }
  }
}

// The decimal reading beneath TextToNumber, whether the standard library's
// from_chars or calc's own: out-of-range results are told apart from
// ordinary ones, and the value is left alone.
TEST(DecimalFromCharsTest, ReadsAsFromCharsDoes) {
  constexpr double kUntouched = 7;
  constexpr auto kOutOfRange = std::errc::result_out_of_range;
  struct Case {
    const char* name;
    const char* text;
    std::errc ec;
    double value;
    std::size_t read;
  };
  const Case cases[] = {
      {"exponent_and_tail", "1.5e3x", std::errc(), 1500, 5},
      {"no_number", "abc", std::errc::invalid_argument, kUntouched, 0},
      {"overflow", "1e400", kOutOfRange, kUntouched, 5},
      {"underflow", "1e-400", kOutOfRange, kUntouched, 6},
      {"negative_underflow", "-1e-400", kOutOfRange, kUntouched, 7},
      {"zero_with_tiny_exponent", "0e-400", std::errc(), 0, 6},
      {"smallest_subnormal", "4.9e-324", std::errc(), std::numeric_limits<double>::denorm_min(), 8},
      {"just_above_half_the_smallest", "2.4703282292062328e-324", std::errc(),
       std::numeric_limits<double>::denorm_min(), 23},
      {"just_below_half_the_smallest", "2.4703282292062327e-324", kOutOfRange, kUntouched, 23},
      {"rounds_down_to_largest", "1.7976931348623158e308", std::errc(),
       std::numeric_limits<double>::max(), 22},
      {"rounds_up_beyond_largest", "1.7976931348623159e308", kOutOfRange, kUntouched, 22},
      {"infinity_word", "inf", std::errc(), std::numeric_limits<double>::infinity(), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    double value = kUntouched;
    const auto result = calc::DecimalFromChars(c.text, c.text + std::strlen(c.text), value);
    EXPECT_EQ(result.ec, c.ec);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(static_cast<std::size_t>(result.ptr - c.text), c.read);
  }
}

TEST(TextToNumberTest, LargestDoubleStillReads) {
  EXPECT_EQ(TextToNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

}  // namespace
