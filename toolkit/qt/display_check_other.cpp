// The display check where Qt's platform is not X11: Qt knows the desktop
// there, so nothing is asked before it.

#include "toolkit/qt/display_check.h"

namespace toolkit::qt {

std::optional<std::string> MissingDisplayMessage(std::string_view /*program*/) {
  return std::nullopt;
}

}  // namespace toolkit::qt
