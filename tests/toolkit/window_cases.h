#pragma once
// What every binding's window does alike, as one table of cases that each
// binding's tests run through a small driver of their own (Qt and Win32 in
// C++ through WindowDriver, the page in JavaScript from the table's JSON):
// clicks and the events they run, Tab, Enter and Esc, the first line of a
// paste, the boxes, a failing handler, every way of closing and a close while
// a box is open; and, against the layout, each control's place, caption,
// pointer and the field its label names. Each case runs on Form2 with its
// own handlers and the program's general error handling, from a fresh window.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/window_toolkit.h"

namespace window_cases {

using toolkit::Control;

// One thing the user does, or one thing seen.
struct Step {
  enum class Do {
    Click,         // a click on the control: an option on its mark, anything else in its middle
    Type,          // a click into the field, then `text` typed over its text
    Key,           // the key `text` ("Enter", "Shift+Tab", "Control+z") pressed where the focus is
    Focus,         // the control is given the focus
    Paste,         // `text` on the clipboard, pasted into the field by `how`, the caret at `caret`
    CloseBox,      // the window's close box
    TaskbarClose,  // a close asked from outside the window (the taskbar's), not by a click
    Focused,       // seen: the control has the focus
    Shows,         // seen: the control shows `text` (as Shown below)
    Box,           // seen: a box opens with `title` and `text`; `inBox` is done, then Enter closes it
  } what;
  Control control = Control::Frame1;
  std::string_view text = {};
  std::string_view how = {};    // Paste: "Control+v" (the default), "Shift+Insert", "menu"
  int caret = -1;               // Paste: where the caret stands in the field, -1 at its end
  std::string_view title = {};  // Box
  std::vector<Step> inBox = {};
};

Step Click(Control control);
Step Type(Control control, std::string_view text);
Step Key(std::string_view key);
Step Focus(Control control);
Step Paste(Control control, std::string_view text, std::string_view how = "Control+v",
           int caret = -1);
Step CloseBox();
Step TaskbarClose();
Step Focused(Control control);
Step Shows(Control control, std::string_view shown);
Step Box(std::string_view title, std::string_view prompt, std::vector<Step> inBox = {});

// What the window shows of one control, as a driver reads it: an option
// "selected" or "", a field its text with " (disabled)" after it when it is
// disabled, a label its caption.
using Shown = std::map<Control, std::string>;

struct Case {
  std::string_view name;
  std::vector<Step> steps;
  Shown shown = {};     // what the window shows at the end, of the controls named
  bool closed = false;  // the window is closed at the end (Form_QueryUnload asked once)
  // What a binding must be able to do for the case: "taskbar" (a close from
  // outside the window), "keypad", "menu" (a field's context menu), "Alt+F4",
  // "page" (the focus on what is behind the window).
  std::set<std::string_view> needs = {};
};

// The cases, in the order they run.
const std::vector<Case>& Cases();

// A text with "<N×c>" written as N times c: "1<3×0>" -> "1000".
std::string Expand(std::string_view text);

// The table and Form2's layout as JSON, for the drivers outside C++:
//   {"layout": {"caption": ..., "controls": [{"name": "Frame1", "kind": "Frame", "left": 120, ...}]},
//    "cases": [{"name": ..., "steps": [{"do": "Click", "control": "Option1"}, ...], ...}]}
std::string Json();

// A binding as the cases drive it: a fresh window of Form2 with its own
// handlers, the user's input through the toolkit's own events, and what the
// window shows. Boxes are modal: the inspector given to ExpectBox is called
// while the box is open, and must close it.
class WindowDriver {
 public:
  virtual ~WindowDriver() = default;
  virtual std::set<std::string_view> Lacks() const = 0;
  // A new window, shown and active, the focus where the window puts it.
  virtual void Open() = 0;
  virtual void Do(const Step& step) = 0;
  struct SeenBox {
    std::string title, prompt;
  };
  // The next box to open goes to `inspect`, which closes it with CloseBox.
  virtual void ExpectBox(std::function<void(const SeenBox&)> inspect) = 0;
  virtual void CloseBoxByEnter() = 0;
  virtual std::optional<Control> FocusedControl() = 0;
  virtual std::string Show(Control control) = 0;
  // True once the window is closed; then how often Form_QueryUnload was asked.
  virtual bool Closed() = 0;
  virtual int QueryUnloads() = 0;
  // A box that was expected and never opened.
  virtual bool BoxesStillExpected() = 0;
};

// Runs every case that the driver can on a fresh window each, with
// GoogleTest's expectations.
void RunCases(WindowDriver& driver);

// Form2's own handlers for `window`, counting into `queryUnloads` each
// Form_QueryUnload they get.
std::unique_ptr<toolkit::WindowEvents> CountingForm2(toolkit::WindowToolkit& window,
                                                    int& queryUnloads);

// What a control is, as a driver reads it off the window.
struct ControlView {
  int left, top, width, height;  // pixels of the client area
  std::string caption;           // a text box's text
  bool pointingHand;
  std::optional<Control> names;  // the field a label names
};

// Each control of Form2 against its layout row at `dpi`: its place, its
// caption, the pointing hand over the push buttons only, each label naming
// its field.
void CheckControls(const std::function<ControlView(Control)>& view, int dpi = 96);

}  // namespace window_cases
