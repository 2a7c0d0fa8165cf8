#pragma once
// Starting the program: one window, its handlers and the general error
// handling, on whichever toolkit the program was built with.
//
//   int main(int argc, char** argv) {
//     return toolkit::RunWindow(argv[0], ui::kForm2Layout, ui::MakeForm2, ui::DescribeFailure);
//   }

#include <exception>
#include <functional>
#include <memory>
#include <string_view>

#include "calc/ratio_calculation.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

namespace toolkit {

// Makes the handlers of the window; they reach it through `window`.
using HandlerFactory = std::function<std::unique_ptr<WindowEvents>(WindowToolkit& window)>;

// The message box that reports a failure which left a handler, e.g.
// ui::DescribeFailure: calc::ArithmeticFailure(ZeroOutputSpeed) ->
//   {"Error！", "输出速度为零，无法计算传动比！…", Critical}
using FailureDescriber = calc::RatioOutcome (*)(std::exception_ptr failure);

// The whole run, defined by the binding the program is linked with: builds
// the window from `layout`, makes its handlers, delivers Form_Load, shows the
// window centred and handles its events until it is unloaded. Returns 0 then.
// When there is no desktop to show it on, or the window cannot be built,
// says so in one line (naming `program`) and returns 1.
int RunWindow(std::string_view program, const WindowLayout& layout,
              const HandlerFactory& makeHandlers, FailureDescriber describe);

}  // namespace toolkit
