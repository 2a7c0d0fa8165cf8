#include "toolkit/window_toolkit.h"

#include <string>

namespace toolkit {
namespace {

std::string Name(Control control) { return std::string(ControlName(control)); }

}  // namespace

ToolkitFailure NoSuchControl(Control control) {
  return ToolkitFailure("the window has no " + Name(control) + " of the kind asked for");
}

ToolkitFailure StaysSelected(Control control) {
  return ToolkitFailure(Name(control) + " stays selected");
}

ToolkitFailure TextNotHeld(Control control) {
  return ToolkitFailure(Name(control) + " cannot hold the text given");
}

ToolkitFailure NotUtf8() { return ToolkitFailure("a text for the window is not valid UTF-8"); }

ToolkitFailure UnknownIcon(calc::MessageIcon icon) {
  return ToolkitFailure("unknown message box style " + std::to_string(static_cast<int>(icon)));
}

}  // namespace toolkit
