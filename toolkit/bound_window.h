#pragma once
// The start-up that every binding shares: RunWindow of each binding makes
// its window through RunBoundWindow.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/program.h"
#include "toolkit/window_toolkit.h"

namespace toolkit {

// A binding's window, as the start-up sees it.
class BoundWindow : public WindowToolkit {
 public:
  // Attaches `events` (which must outlive the window), delivers Form_Load,
  // then shows the window centred unless Form_Load unloaded it.
  virtual void Open(WindowEvents& events) = 0;
  // True once the window has been unloaded (closed for good).
  virtual bool IsUnloaded() const = 0;
  // Handles the window's events until it is unloaded; the exit status, 0.
  virtual int RunLoop() = 0;
};

// Makes the window, then its handlers, which outlive it; opens it, and runs
// its loop unless Form_Load unloaded it. Returns the exit status. When the
// window cannot be made or opened, or no handlers are made, says so in one
// line on standard error and to `showFailure` (where the binding has more to
// show it in than standard error), and returns 1:
//   "transmission-ratio: cannot open the window: the program carries no icon x.ico"
int RunBoundWindow(std::string_view program,
                   const std::function<std::unique_ptr<BoundWindow>()>& makeWindow,
                   const HandlerFactory& makeHandlers,
                   const std::function<void(const std::string& line)>& showFailure = {});

}  // namespace toolkit
