#pragma once
// The words of the general error handling: what the window says when a
// failure leaves one of Form2's handlers.

#include <exception>

#include "calc/ratio_calculation.h"

namespace ui {

// Title "Error！", a Chinese explanation of what to check, Critical icon:
//   ArithmeticFailure(ZeroOutputSpeed) -> "输出速度为零，无法计算传动比！请检查输出速度的数值。"
//   anything else                      -> "程序出现内部错误，这一步操作没有完成！…"
calc::RatioOutcome DescribeFailure(std::exception_ptr failure);

}  // namespace ui
