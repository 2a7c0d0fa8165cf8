#pragma once
// A window's static design as data: one row a control, read by a binding.
//
// Positions and sizes are twips (1/1440 inch, 15 to a pixel at 96 dpi),
// measured from the top-left corner of the container: the client area for
// controls on the window, the frame's outer corner for options in a frame.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/controls.h"

namespace toolkit {

enum class ControlKind { Frame, OptionButton, Label, TextBox, PushButton };

enum class FontRole {
  Window,  // the desktop's interface font
  Label,   // WindowLayout::labelFont
  Field,   // WindowLayout::fieldFont
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

// A font as the design names it. Where the face is missing, a binding puts a
// substitute that covers the character set in its place.
struct FontSpec {
  std::string_view face;  // UTF-8: "宋体"
  double points;          // 9.75
  int weight;             // 400 is normal, 700 bold
  int charset;            // the Windows character set: 134 is GB2312
};

// The font families to draw `face` in: the face, then the faces that stand
// in for it where it is missing and that cover the same characters. For the
// Song face of Simplified-Chinese Windows, the Song faces of Linux and of
// macOS and iOS:
//   "宋体" -> "宋体", "SimSun", "AR PL SungtiL GB", "Songti SC", "STSong",
//            "Noto Serif CJK SC", "Noto Sans CJK SC"
//   "Tahoma" -> "Tahoma"
std::vector<std::string_view> FaceFamilies(std::string_view face);

struct WindowLayout {
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
  std::span<const ControlLayout> controls;
  std::string_view icon;  // the window's and the program's icon, as a resource name
  FontSpec labelFont;
  FontSpec fieldFont;
};

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kStandardDpi = 96;  // 15 twips to a pixel

// Twips to pixels at `dpi` dots per inch, rounded to nearest:
//   (15, 96) -> 1   (6855, 96) -> 457   (6855, 144) -> 686
constexpr int TwipsToPixels(int twips, int dpi = kStandardDpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

// Points (1/72 inch) to whole pixels at `dpi`, rounded to nearest:
//   (9.75, 96) -> 13   (11.25, 96) -> 15   (9.75, 144) -> 20
constexpr int PointsToPixels(double points, int dpi = kStandardDpi) {
  return static_cast<int>(points * dpi / 72 + 0.5);
}

}  // namespace toolkit
