#pragma once
// The names of the window and its eighteen controls, as typed identifiers.
//
// `Control` names every control; the narrower enums name the controls that an
// operation may take (an option, a text field, a label), so that a handler
// cannot ask for the text of a label or the selection of a button. Each
// narrower enumerator has the value of the same control in `Control`.

#include <cstdint>
#include <string_view>

namespace toolkit {

enum class Control : std::uint8_t {
  Frame1, Frame2,
  Option1, Option2, Option3, Option4, Option5, Option6,
  Label1, Label2, Label3, Label4,
  Text1, Text2, Text3, Text4,
  Command1, Command2,
};
inline constexpr int kControlCount = 18;

enum class Option : std::uint8_t {
  Option1 = static_cast<std::uint8_t>(Control::Option1),
  Option2, Option3, Option4, Option5, Option6,
};

enum class TextField : std::uint8_t {
  Text1 = static_cast<std::uint8_t>(Control::Text1),
  Text2, Text3, Text4,
};

enum class Label : std::uint8_t {
  Label1 = static_cast<std::uint8_t>(Control::Label1),
  Label2, Label3, Label4,
};

enum class Window : std::uint8_t { Form2 };

constexpr Control AsControl(Option option) { return static_cast<Control>(option); }
constexpr Control AsControl(TextField field) { return static_cast<Control>(field); }
constexpr Control AsControl(Label label) { return static_cast<Control>(label); }

// The control's name as the window knows it: "Option1", "Text4", ...
constexpr std::string_view ControlName(Control control) {
  constexpr std::string_view kNames[kControlCount] = {
      "Frame1",  "Frame2",  "Option1", "Option2", "Option3",  "Option4",
      "Option5", "Option6", "Label1",  "Label2",  "Label3",   "Label4",
      "Text1",   "Text2",   "Text3",   "Text4",   "Command1", "Command2"};
  return kNames[static_cast<int>(control)];
}

}  // namespace toolkit
