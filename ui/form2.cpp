#include "ui/form2.h"

#include <array>
#include <optional>
#include <string_view>

#include "calc/ratio_calculation.h"

namespace ui {
namespace {

using calc::SpeedKind;
using toolkit::Label;
using toolkit::Option;
using toolkit::TextField;

// What choosing one option writes, in the order written: the speed label's
// caption, the diameter label's caption (linear speed only), the speed
// field's text, the diameter field's text and its enabled state.
struct KindChoice {
  Label speedLabel;
  std::string_view speedCaption;
  Label diameterLabel;
  std::string_view diameterCaption;  // empty: the diameter label is left alone
  TextField speedField;
  TextField diameterField;
  bool opensDiameter;
};

constexpr std::string_view kInputDiameterCaption = "输入速度转轴直径（毫米）：";
constexpr std::string_view kOutputDiameterCaption = "输出速度转轴直径（毫米）：";
// Written into a closed diameter field as its content, and shown greyed. The
// word is odd in a closed field, but it is what the program has always shown
// there, and it is kept on purpose: do not blank it or translate it.
constexpr std::string_view kClosedDiameterText = "Enabled";

constexpr std::array<KindChoice, 6> kChoices{{
    {Label::Label1, "输入转速n1（转/分钟）：", Label::Label4, "", TextField::Text1, TextField::Text2, false},
    {Label::Label1, "输入转速n1（弧度/秒）：", Label::Label4, "", TextField::Text1, TextField::Text2, false},
    {Label::Label1, "输入速度v（米/秒）：", Label::Label4, kInputDiameterCaption, TextField::Text1, TextField::Text2, true},
    {Label::Label2, "输出转速n2（转/分钟）：", Label::Label3, "", TextField::Text3, TextField::Text4, false},
    {Label::Label2, "输出转速n2（弧度/秒）：", Label::Label3, "", TextField::Text3, TextField::Text4, false},
    {Label::Label2, "输出速度v（米/秒）：", Label::Label3, kOutputDiameterCaption, TextField::Text3, TextField::Text4, true},
}};

void Choose(toolkit::WindowToolkit& window, const KindChoice& choice) {
  window.SetCaption(choice.speedLabel, choice.speedCaption);
  if (!choice.diameterCaption.empty()) window.SetCaption(choice.diameterLabel, choice.diameterCaption);
  window.SetText(choice.speedField, "");
  window.SetText(choice.diameterField, choice.opensDiameter ? "" : kClosedDiameterText);
  window.SetEnabled(choice.diameterField, choice.opensDiameter);
}

// The kind of the frame's selected option: its options are given in the
// order rev/min, rad/s, linear speed.
std::optional<SpeedKind> SelectedKind(toolkit::WindowToolkit& window,
                                      std::array<Option, 3> options) {
  constexpr std::array<SpeedKind, 3> kKinds{SpeedKind::RevPerMin, SpeedKind::RadPerSec,
                                            SpeedKind::LinearSpeed};
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (window.IsSelected(options[i])) return kKinds[i];
  }
  return std::nullopt;
}

}  // namespace

void Form2::Form_Load() {
  for (Option option : {Option::Option1, Option::Option2, Option::Option3, Option::Option4,
                        Option::Option5, Option::Option6}) {
    window_.Deselect(option);
  }
}

void Form2::Form_QueryUnload(bool& /*cancel*/, toolkit::CloseReason /*reason*/) {
  // A close is never refused: the window is already closing, and this second
  // request only confirms it.
  window_.UnloadWindow(toolkit::Window::Form2);
}

void Form2::Option1_Click() { Choose(window_, kChoices[0]); }
void Form2::Option2_Click() { Choose(window_, kChoices[1]); }
void Form2::Option3_Click() { Choose(window_, kChoices[2]); }
void Form2::Option4_Click() { Choose(window_, kChoices[3]); }
void Form2::Option5_Click() { Choose(window_, kChoices[4]); }
void Form2::Option6_Click() { Choose(window_, kChoices[5]); }

void Form2::Command1_Click() {
  calc::RatioRequest request;
  request.inputKind = SelectedKind(window_, {Option::Option1, Option::Option2, Option::Option3});
  request.outputKind = SelectedKind(window_, {Option::Option4, Option::Option5, Option::Option6});
  request.inputSpeedText = window_.GetText(TextField::Text1);
  request.inputDiameterText = window_.GetText(TextField::Text2);
  request.outputSpeedText = window_.GetText(TextField::Text3);
  request.outputDiameterText = window_.GetText(TextField::Text4);

  const calc::RatioOutcome outcome = calc::CalculateRatio(request);
  window_.ShowMessage(outcome.prompt, outcome.title, outcome.icon);
}

void Form2::Command2_Click() { window_.UnloadWindow(toolkit::Window::Form2); }

std::unique_ptr<toolkit::WindowEvents> MakeForm2(toolkit::WindowToolkit& window) {
  return std::make_unique<Form2>(window);
}

}  // namespace ui
