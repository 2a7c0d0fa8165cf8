#pragma once
// Whether there is a desktop to open the window on, asked before Qt is, so
// that a missing one is said in one line instead of Qt's abort.

#include <optional>
#include <string>
#include <string_view>

namespace toolkit::qt {

// When the environment names no Qt platform and no Wayland display, and
// either no X11 display or one that cannot be opened: the one line to print
// instead, saying how to run `program` under Xvfb. Empty otherwise.
//   DISPLAY=":0", a server answering -> empty
//   DISPLAY=":93", no server         -> "prog: no X server answers on display :93; ..."
//   nothing set                      -> "prog: no display ... xvfb-run -a prog"
std::optional<std::string> MissingDisplayMessage(std::string_view program);

}  // namespace toolkit::qt
