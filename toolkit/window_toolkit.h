#pragma once
// What the window's handlers may do to the window, and the events they get.
//
// The handlers of Form2 implement `WindowEvents`; a binding to a real
// windowing toolkit implements `WindowToolkit` and delivers the events, one at
// a time on one thread. Texts are UTF-8. An operation that fails throws
// `ToolkitFailure`; handlers never catch, and the binding's event dispatch
// reports whatever leaves a handler.

#include <stdexcept>
#include <string>
#include <string_view>

#include "calc/ratio_calculation.h"
#include "toolkit/controls.h"

namespace toolkit {

// A toolkit operation that could not be carried out.
class ToolkitFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;

  // True when the option is selected.
  virtual bool IsSelected(Option option) = 0;
  // The option becomes unselected; no other option changes; no click event.
  virtual void Deselect(Option option) = 0;
  // A copy of the field's current text, possibly empty, disabled or not.
  virtual std::string GetText(TextField field) = 0;
  // The field holds exactly `text` afterwards.
  virtual void SetText(TextField field, std::string_view text) = 0;
  // When false the user cannot edit the field; it keeps its text for GetText.
  virtual void SetEnabled(TextField field, bool enabled) = 0;
  // The label shows `text`.
  virtual void SetCaption(Label label, std::string_view text) = 0;
  // A modal box with the icon, prompt, title and one OK button; returns once
  // the user has closed it.
  virtual void ShowMessage(std::string_view prompt, std::string_view title,
                           calc::MessageIcon icon) = 0;
  // Raises Form_QueryUnload, then closes the window; asked again while the
  // window is closing, succeeds without a second Form_QueryUnload. Closing the
  // last window ends the program once the running handler returns.
  virtual void UnloadWindow(Window window) = 0;
};

// The refusals that every binding makes, each with the same words.
ToolkitFailure NoSuchControl(Control control);   // "the window has no Text3 of the kind asked for"
ToolkitFailure StaysSelected(Control control);   // "Option2 stays selected"
ToolkitFailure TextNotHeld(Control control);     // "Text1 cannot hold the text given"
ToolkitFailure NotUtf8();                        // "a text for the window is not valid UTF-8"
ToolkitFailure UnknownIcon(calc::MessageIcon icon);  // "unknown message box style 3"

// Why the window is closing.
enum class CloseReason {
  ControlMenu,  // the user's close box or system menu
  Code,         // UnloadWindow was called
  Session,      // the desktop session is ending
};

// The ten events of Form2. Each handler runs to its end before the next event.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;

  // Once, when the window is created, before it is first shown.
  virtual void Form_Load() = 0;
  // Before the window closes, for any reason; setting `cancel` keeps it open.
  virtual void Form_QueryUnload(bool& cancel, CloseReason reason) = 0;
  // After the user's choice has selected the option.
  virtual void Option1_Click() = 0;
  virtual void Option2_Click() = 0;
  virtual void Option3_Click() = 0;
  virtual void Option4_Click() = 0;
  virtual void Option5_Click() = 0;
  virtual void Option6_Click() = 0;
  // When the button is pressed, by the mouse or the keyboard.
  virtual void Command1_Click() = 0;
  virtual void Command2_Click() = 0;
};

}  // namespace toolkit
