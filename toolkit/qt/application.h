#pragma once
// Starting the program on Qt: the application, its interface font and icon,
// the one window with its handlers, and the event loop.
//
//   int main(int argc, char** argv) {
//     return toolkit::qt::RunWindow(argc, argv, ui::kForm2Layout, ui::MakeForm2,
//                                   ui::DescribeFailure);
//   }

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/qt/qt_window.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

namespace toolkit::qt {

// Makes the handlers of the window; they reach it through `window`.
using HandlerFactory = std::function<std::unique_ptr<WindowEvents>(WindowToolkit& window)>;

// The whole run: creates the QApplication from the program name alone (no
// argument is read), sets the interface font, builds the window from
// `layout`, makes its handlers, delivers Form_Load, shows the window centred
// and runs the event loop until the window is unloaded. Returns the loop's
// exit status, 0 after the unload. Without a display, or when the window
// cannot be built, prints one line to stderr and returns 1.
int RunWindow(int argc, char** argv, const WindowLayout& layout, HandlerFactory makeHandlers,
              FailureDescriber describe);

// RunWindow once the QApplication exists: the window, its handlers, the loop.
// The window's icon becomes the application's icon. Throws ToolkitFailure
// when the window cannot be built.
int RunEventLoop(const WindowLayout& layout, const HandlerFactory& makeHandlers,
                 FailureDescriber describe);

// Makes the application's default font the interface font of a
// Simplified-Chinese desktop: the Song face (or its substitute) put before the
// desktop's own families, at 9 points, the size the twips layout was drawn for.
void UseChineseInterfaceFont();

// When the environment names no Qt platform and no Wayland display, and
// either no X11 display or a local one where no X server answers: the one
// line to print instead of a toolkit error, saying how to run `program`
// under Xvfb. Empty otherwise.
//   DISPLAY=":0", a server listening -> empty
//   DISPLAY=":93", nothing listening  -> "prog: no X server answers on display :93; ..."
//   nothing set                       -> "prog: no display ... xvfb-run -a prog"
std::optional<std::string> MissingDisplayMessage(std::string_view program);

}  // namespace toolkit::qt
