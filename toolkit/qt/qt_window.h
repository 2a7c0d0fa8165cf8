#pragma once
// The Qt Widgets binding of WindowToolkit: one top-level window built from a
// WindowLayout, delivering the ten events of WindowEvents.
//
// How the parts meet: the constructor turns each layout row into a widget
// (frame -> QGroupBox holding one exclusive QButtonGroup, option ->
// QRadioButton, label -> QLabel, text box -> QLineEdit, push button ->
// QPushButton), names it ControlName(row.control) and places it at
// TwipsToPixels of its twips. Open() attaches the handlers, delivers Form_Load
// and shows the window centred. From then on Qt's signals (the click that
// selected an option, a push button's click) and every close request reach
// the handlers through one dispatch, which runs the handler inside try/catch
// and shows whatever leaves it as the FailureDescriber's modal box; the window
// then goes on as it is. Handlers reach the widgets only through the
// WindowToolkit operations below.

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "calc/ratio_calculation.h"
#include "toolkit/controls.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

class QAbstractButton;
class QCloseEvent;
class QWidget;

namespace toolkit::qt {

// The message box that reports a failure which left a handler, e.g.
// ui::DescribeFailure: calc::ArithmeticFailure(ZeroOutputSpeed) ->
//   {"Error！", "输出速度为零，无法计算传动比！…", Critical}
using FailureDescriber = calc::RatioOutcome (*)(std::exception_ptr failure);

class QtWindow final : public WindowToolkit {
 public:
  // Builds the window and its controls, hidden; needs a QApplication. Throws
  // ToolkitFailure when the layout names a control twice, puts a control into
  // anything but a frame of the window, gives the default or cancel role or a
  // buddy to the wrong kind of control, holds text that is not UTF-8, or names
  // an icon that cannot be loaded.
  QtWindow(const WindowLayout& layout, FailureDescriber describe);
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  // Attaches `events` (which must outlive the window), delivers Form_Load,
  // then shows the window centred on its screen unless Form_Load unloaded it.
  void Open(WindowEvents& events);
  // True once the window has been unloaded (closed for good).
  bool IsUnloaded() const;
  // The top-level widget, its client area 1:1; each control is a descendant
  // whose objectName is ControlName(control).
  QWidget& Widget();

  bool IsSelected(Option option) override;
  void Deselect(Option option) override;
  std::string GetText(TextField field) override;
  void SetText(TextField field, std::string_view text) override;
  void SetEnabled(TextField field, bool enabled) override;
  void SetCaption(Label label, std::string_view text) override;
  void ShowMessage(std::string_view prompt, std::string_view title,
                   calc::MessageIcon icon) override;
  // The binding shows one window, so `window` always names it.
  void UnloadWindow(Window window) override;

 private:
  class FormWidget;
  // Open -> Querying (Form_QueryUnload runs) -> Unloading (closing) -> Unloaded;
  // a cancel or a failure in Form_QueryUnload goes back to Open.
  enum class State { Open, Querying, Unloading, Unloaded };

  void BuildControls(std::span<const ControlLayout> rows);
  void BuildControl(const ControlLayout& row, QWidget& container);
  void ConnectClick(QAbstractButton& button, Control control);
  void ChainFocus(std::span<const ControlLayout> rows);
  template <class Widget>
  Widget& ControlAs(Control control) const;

  // Runs one handler; whatever leaves it is reported. False when it failed.
  bool Run(const std::function<void(WindowEvents&)>& handler);
  void Report(std::exception_ptr failure) noexcept;
  // Raises Form_QueryUnload; true when the window may close.
  bool AskToUnload(CloseReason reason);
  void OnCloseRequest(QCloseEvent& event);

  std::unique_ptr<FormWidget> form_;
  std::array<QWidget*, kControlCount> controls_{};
  FailureDescriber describe_;
  WindowEvents* events_ = nullptr;
  State state_ = State::Open;
  // The option that the click in progress has just selected, if any.
  QAbstractButton* justSelected_ = nullptr;
};

}  // namespace toolkit::qt
