#pragma once
// The names of the window and its eighteen controls, as typed identifiers.
//
// `Control` names every control. `Option`, `TextField` and `Label` name the
// controls that an operation may take, so that a handler cannot ask for the
// text of a label or the selection of a button; each holds the `Control` it
// was made from and can be made only here, so the two never drift apart.
// ControlName's switch names every enumerator (the build treats a missing case
// as an error), and the number of controls is counted from it.

#include <compare>
#include <cstddef>
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

// The control's name as the window knows it: "Option1", "Text4", ...; empty
// for a value that names no control.
constexpr std::string_view ControlName(Control control) {
  switch (control) {
    case Control::Frame1: return "Frame1";
    case Control::Frame2: return "Frame2";
    case Control::Option1: return "Option1";
    case Control::Option2: return "Option2";
    case Control::Option3: return "Option3";
    case Control::Option4: return "Option4";
    case Control::Option5: return "Option5";
    case Control::Option6: return "Option6";
    case Control::Label1: return "Label1";
    case Control::Label2: return "Label2";
    case Control::Label3: return "Label3";
    case Control::Label4: return "Label4";
    case Control::Text1: return "Text1";
    case Control::Text2: return "Text2";
    case Control::Text3: return "Text3";
    case Control::Text4: return "Text4";
    case Control::Command1: return "Command1";
    case Control::Command2: return "Command2";
  }
  return {};
}

// The number of controls: the enumerators run from 0 without a gap.
inline constexpr std::size_t kControlCount = [] {
  std::size_t count = 0;
  while (!ControlName(static_cast<Control>(count)).empty()) ++count;
  return count;
}();

constexpr std::size_t Index(Control control) { return static_cast<std::size_t>(control); }

// The id of one control of a narrower kind, made from its Control; the kinds
// below make theirs, and nothing else can.
template <class Kind>
class ControlId {
 public:
  constexpr Control control() const { return control_; }
  friend constexpr auto operator<=>(ControlId, ControlId) = default;

 protected:
  constexpr explicit ControlId(Control control) : control_(control) {}

 private:
  Control control_;
};

// An option button: Option::Option1 to Option::Option6.
class Option : public ControlId<Option> {
 public:
  static const Option Option1, Option2, Option3, Option4, Option5, Option6;

 private:
  using ControlId::ControlId;
};
inline constexpr Option Option::Option1{Control::Option1};
inline constexpr Option Option::Option2{Control::Option2};
inline constexpr Option Option::Option3{Control::Option3};
inline constexpr Option Option::Option4{Control::Option4};
inline constexpr Option Option::Option5{Control::Option5};
inline constexpr Option Option::Option6{Control::Option6};

// A text box: TextField::Text1 to TextField::Text4.
class TextField : public ControlId<TextField> {
 public:
  static const TextField Text1, Text2, Text3, Text4;

 private:
  using ControlId::ControlId;
};
inline constexpr TextField TextField::Text1{Control::Text1};
inline constexpr TextField TextField::Text2{Control::Text2};
inline constexpr TextField TextField::Text3{Control::Text3};
inline constexpr TextField TextField::Text4{Control::Text4};

// A label: Label::Label1 to Label::Label4.
class Label : public ControlId<Label> {
 public:
  static const Label Label1, Label2, Label3, Label4;

 private:
  using ControlId::ControlId;
};
inline constexpr Label Label::Label1{Control::Label1};
inline constexpr Label Label::Label2{Control::Label2};
inline constexpr Label Label::Label3{Control::Label3};
inline constexpr Label Label::Label4{Control::Label4};

enum class Window : std::uint8_t { Form2 };

constexpr Control AsControl(Option option) { return option.control(); }
constexpr Control AsControl(TextField field) { return field.control(); }
constexpr Control AsControl(Label label) { return label.control(); }

}  // namespace toolkit
