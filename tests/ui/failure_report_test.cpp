#include <exception>
#include <stdexcept>

#include <gtest/gtest.h>

#include "calc/arithmetic_failure.h"
#include "toolkit/window_toolkit.h"
#include "ui/failure_report.h"
#include "ui/form2.h"

namespace {

using calc::ArithmeticFailure;
using calc::SpeedSide;

TEST(FailureReportTest, TellsWhatWentWrongAndWhatToCheck) {
  struct Case {
    const char* name;
    std::exception_ptr failure;
    const char* prompt;
  };
  const Case cases[] = {
      {"output_speed_zero",
       std::make_exception_ptr(ArithmeticFailure(ArithmeticFailure::Reason::ZeroOutputSpeed)),
       "输出速度为零，无法计算传动比！请检查输出速度的数值。"},
      {"input_diameter_zero",
       std::make_exception_ptr(
           ArithmeticFailure(ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Input)),
       "输入转轴直径为零，无法换算转速！请检查输入速度转轴直径的数值。"},
      {"output_diameter_zero",
       std::make_exception_ptr(
           ArithmeticFailure(ArithmeticFailure::Reason::ZeroDiameter, SpeedSide::Output)),
       "输出转轴直径为零，无法换算转速！请检查输出速度转轴直径的数值。"},
      {"diameter_zero_side_unknown",
       std::make_exception_ptr(ArithmeticFailure(ArithmeticFailure::Reason::ZeroDiameter)),
       "转轴直径为零，无法换算转速！请检查转轴直径的数值。"},
      {"out_of_range",
       std::make_exception_ptr(ArithmeticFailure(ArithmeticFailure::Reason::OutOfRange)),
       "数值过大，超出了计算范围！请检查输入的数值。"},
      {"toolkit_failure", std::make_exception_ptr(toolkit::ToolkitFailure("no window")),
       "程序出现内部错误，这一步操作没有完成！窗口保持原样，可以继续使用。"},
      {"anything_else", std::make_exception_ptr(42),
       "程序出现内部错误，这一步操作没有完成！窗口保持原样，可以继续使用。"},
      {"no_exception", nullptr,
       "程序出现内部错误，这一步操作没有完成！窗口保持原样，可以继续使用。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const calc::RatioOutcome outcome = ui::DescribeFailure(c.failure);
    EXPECT_EQ(outcome.title, "Error！");
    EXPECT_EQ(outcome.prompt, c.prompt);
    EXPECT_EQ(outcome.icon, calc::MessageIcon::Critical);
  }
}

}  // namespace
