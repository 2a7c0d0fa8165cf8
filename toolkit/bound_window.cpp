#include "toolkit/bound_window.h"

#include <cstdio>
#include <exception>

namespace toolkit {
namespace {

int Run(const std::function<std::unique_ptr<BoundWindow>()>& makeWindow,
        const HandlerFactory& makeHandlers) {
  // Declared before the window, so destroyed after it.
  std::unique_ptr<WindowEvents> events;
  const std::unique_ptr<BoundWindow> window = makeWindow();
  events = makeHandlers(*window);
  if (events == nullptr) throw ToolkitFailure("no handlers were made for the window");
  window->Open(*events);
  if (window->IsUnloaded()) return 0;  // Form_Load unloaded it
  return window->RunLoop();
}

}  // namespace

int RunBoundWindow(std::string_view program,
                   const std::function<std::unique_ptr<BoundWindow>()>& makeWindow,
                   const HandlerFactory& makeHandlers,
                   const std::function<void(const std::string& line)>& showFailure) {
  try {
    return Run(makeWindow, makeHandlers);
  } catch (const std::exception& failure) {
    const std::string line = std::string(program) + ": cannot open the window: " + failure.what();
    std::fprintf(stderr, "%s\n", line.c_str());
    if (showFailure) showFailure(line);
    return 1;
  }
}

}  // namespace toolkit
