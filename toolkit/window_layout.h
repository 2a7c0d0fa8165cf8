#pragma once
// A window's static design as data: one row a control, read by a binding.
//
// Positions and sizes are twips (1/1440 inch, 15 to a pixel at 96 dpi),
// measured from the top-left corner of the container: the client area for
// controls on the window, the frame's outer corner for options in a frame.

#include <optional>
#include <span>
#include <string_view>

#include "toolkit/controls.h"

namespace toolkit {

enum class ControlKind { Frame, OptionButton, Label, TextBox, PushButton };

enum class FontRole {
  Window,  // the desktop's interface font
  Label,   // the label font, 9.75 pt
  Field,   // the field font, 11.25 pt
};

enum class ButtonRole { None, Default, Cancel };

enum class Cursor { Arrow, PointingHand };

struct ControlLayout {
  Control control;
  ControlKind kind;
  std::optional<Control> container;  // empty: the window itself
  int left, top, width, height;      // twips
  int tabIndex;
  std::string_view caption;          // UTF-8; the initial text of a text box
  FontRole font;
  ButtonRole buttonRole = ButtonRole::None;
  Cursor cursor = Cursor::Arrow;
  std::optional<Control> buddy = std::nullopt;  // the field a label names
};

struct WindowLayout {
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
  std::span<const ControlLayout> controls;
  std::string_view icon;  // the window's and the program's icon, as a resource path
};

inline constexpr int kTwipsPerPixel = 15;

// Twips to device-independent pixels, rounded to nearest.
constexpr int TwipsToPixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

}  // namespace toolkit
