// The display check where Qt's platform is X11: a local display is looked
// for at its socket, in the file system or in Linux's abstract namespace.

#include "toolkit/qt/display_check.h"

#include <QString>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <charconv>
#include <cstddef>
#include <cstring>

namespace toolkit::qt {
namespace {

bool IsSet(const char* variable) { return !qEnvironmentVariableIsEmpty(variable); }

// The display number of a DISPLAY on this machine (":1", ":1.0", "unix:1");
// empty for a display elsewhere, which only connecting can tell about.
std::optional<int> LocalDisplayNumber(std::string_view display) {
  if (display.starts_with("unix:")) display.remove_prefix(4);
  if (!display.starts_with(':')) return std::nullopt;
  display.remove_prefix(1);
  int number = -1;
  const auto [end, ec] = std::from_chars(display.data(), display.data() + display.size(), number);
  if (ec != std::errc() || (end != display.data() + display.size() && *end != '.')) {
    return std::nullopt;
  }
  return number;
}

// True when a local X server accepts a connection on `path`, as a socket in
// the file system or in Linux's abstract namespace.
bool SocketAnswers(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return true;  // cannot tell: let the toolkit try
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  const bool answers = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  ::close(socket);
  return answers;
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
  const std::string display = qEnvironmentVariable("DISPLAY").toStdString();
  const std::optional<int> number = LocalDisplayNumber(display);
  if (!number) return std::nullopt;
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(*number);
  if (SocketAnswers(socket, false) || SocketAnswers(socket, true)) return std::nullopt;
  return name + ": no X server answers on display " + display + hint;
}

}  // namespace toolkit::qt
