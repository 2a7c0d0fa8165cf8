#include "ui/failure_report.h"

#include <string>

#include "calc/arithmetic_failure.h"

namespace ui {
namespace {

using Reason = calc::ArithmeticFailure::Reason;

std::string ArithmeticFailureText(const calc::ArithmeticFailure& failure) {
  switch (failure.reason()) {
    case Reason::ZeroOutputSpeed:
      return "输出速度为零，无法计算传动比！请检查输出速度的数值。";
    case Reason::ZeroDiameter:
      if (failure.side() == calc::SpeedSide::Input)
        return "输入转轴直径为零，无法换算转速！请检查输入速度转轴直径的数值。";
      if (failure.side() == calc::SpeedSide::Output)
        return "输出转轴直径为零，无法换算转速！请检查输出速度转轴直径的数值。";
      return "转轴直径为零，无法换算转速！请检查转轴直径的数值。";
    case Reason::OutOfRange:
      break;
  }
  return "数值过大，超出了计算范围！请检查输入的数值。";
}

}  // namespace

calc::RatioOutcome DescribeFailure(std::exception_ptr failure) {
  std::string prompt;
  try {
    if (!failure) throw std::exception();
    std::rethrow_exception(failure);
  } catch (const calc::ArithmeticFailure& arithmetic) {
    prompt = ArithmeticFailureText(arithmetic);
  } catch (...) {
    prompt = "程序出现内部错误，这一步操作没有完成！窗口保持原样，可以继续使用。";
  }
  return {"Error！", std::move(prompt), calc::MessageIcon::Critical};
}

}  // namespace ui
