// The display check where Qt's platform is X11: the X client library itself
// is asked to connect, so every display that Qt can open (a local socket,
// TCP, an abstract socket) passes, and nothing is guessed from file names.

#include "toolkit/qt/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace toolkit::qt {
namespace {

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

bool DisplayOpens() {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool opens = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return opens;
}

}  // namespace

std::optional<std::string> MissingDisplayMessage(std::string_view program) {
  if (IsSet("QT_QPA_PLATFORM") || IsSet("WAYLAND_DISPLAY")) return std::nullopt;
  const std::string name(program);
  const std::string hint = "; without a desktop, run it under Xvfb: xvfb-run -a " + name;
  if (!IsSet("DISPLAY")) {
    return name + ": no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)" +
           hint;
  }
  if (DisplayOpens()) return std::nullopt;
  return name + ": no X server answers on display " + std::getenv("DISPLAY") + hint;
}

}  // namespace toolkit::qt
