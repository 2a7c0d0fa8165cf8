#pragma once
// Form2, the program's one window, and what its ten events do.
//
// How the parts meet: the binding builds the window from kForm2Layout and
// delivers Form_Load; an option's click relabels its side's speed field,
// empties it and opens or closes the side's diameter field; Command1 reads
// the options and fields into a RatioRequest, asks calc::CalculateRatio and
// shows the outcome; Command2 and every close request unload the window. The
// handlers keep no state: the options and fields are the only model, and the
// window is reached only through WindowToolkit. Nothing here catches: what
// leaves a handler goes to the binding's general error handling, which shows
// DescribeFailure's message (ui/failure_report.h) and keeps the window as it is.

#include <memory>

#include "toolkit/window_toolkit.h"

namespace ui {

class Form2 final : public toolkit::WindowEvents {
 public:
  explicit Form2(toolkit::WindowToolkit& window) : window_(window) {}

  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, toolkit::CloseReason reason) override;
  void Option1_Click() override;
  void Option2_Click() override;
  void Option3_Click() override;
  void Option4_Click() override;
  void Option5_Click() override;
  void Option6_Click() override;
  void Command1_Click() override;
  void Command2_Click() override;

 private:
  toolkit::WindowToolkit& window_;
};

std::unique_ptr<toolkit::WindowEvents> MakeForm2(toolkit::WindowToolkit& window);

}  // namespace ui
