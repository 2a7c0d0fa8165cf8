#pragma once
// A window's static design as data: one row a control, read by a binding,
// and the rules that follow from it for every binding: which layouts can be
// built and in what order, the focus order and its tab stops, the buttons
// that Enter and Esc press, the faces that stand in for a missing one.
//
// Positions and sizes are twips (1/1440 inch, 15 to a pixel at 96 dpi),
// measured from the top-left corner of the container: the client area for
// controls on the window, the frame's outer corner for options in a frame.

#include <functional>
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

// The layout's rows in an order to build them in: each container before what
// it holds. Throws ToolkitFailure when the layout names a control twice, puts
// a control into anything but a frame that stands on the window, gives the
// default or cancel role to anything but a push button, gives a label a buddy
// it does not lay out or a buddy to anything but a label, lets a label name an
// option or parts a frame's options in the tab order (either would split the
// options' group where the dialog keys follow the order), sets a control in a
// font it does not give, or holds a caption or font face that is not UTF-8.
std::vector<const ControlLayout*> BuildOrder(const WindowLayout& layout);

// The controls that take the keyboard focus (options, text boxes and push
// buttons) in ascending tab index; rows of equal index keep their order.
std::vector<Control> FocusOrder(std::span<const ControlLayout> rows);

// The option of `frame` that holds its group's one tab stop: the selected
// one, or the group's first in the focus order while none is selected.
//   Frame1, nothing selected -> Option1     Frame1, Option2 selected -> Option2
std::optional<Control> GroupTabStop(std::span<const ControlLayout> rows, Control frame,
                                    const std::function<bool(Control)>& selected);

// Where Tab (or Shift+Tab, `forward` false) moves the focus from `from`: the
// next control of the focus order, round the window, that takes it: an
// option group is one stop (GroupTabStop), a disabled control is passed
// over. From no control, the first stop (or the last). Nothing when no
// control can take the focus.
//   Text4 -> Option1 (Frame1's stop)     Option1 -> Option4     Text1 -> Text2
std::optional<Control> NextTabStop(std::span<const ControlLayout> rows, std::optional<Control> from,
                                   bool forward, const std::function<bool(Control)>& selected,
                                   const std::function<bool(Control)>& enabled);

// The keys that press a window's buttons, as in a dialog.
enum class DialogKey { Enter, Escape };

// The push button that `key` presses while `focused` has the focus: Enter
// the push button that has it, or else the default button; Esc the cancel
// button. Nothing where the layout has no such button.
//   (Enter, Text1) -> Command1   (Enter, Command2) -> Command2   (Escape, Command1) -> Command2
std::optional<Control> ButtonForKey(std::span<const ControlLayout> rows, DialogKey key,
                                    std::optional<Control> focused);

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
