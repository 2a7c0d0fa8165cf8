#pragma once
// The Qt Widgets binding of WindowToolkit: one top-level window built from a
// WindowLayout, delivering the ten events of WindowEvents.
//
// How the parts meet: the constructor turns each layout row into a widget
// (frame -> QGroupBox holding one exclusive QButtonGroup, option ->
// QRadioButton, label -> QLabel, text box -> QLineEdit, push button ->
// QPushButton), names it ControlName(row.control) and places it at
// TwipsToPixels of its twips (Qt's pixels are device-independent, so at 96
// dpi). Open() delivers Form_Load and shows the window centred. From then on
// Qt's signals (a button's click) and every close request go to the
// toolkit's EventDispatch, which decides which handler runs, runs it and its
// general error handling. A field that the user puts several lines into
// keeps the first line of what was put in. Handlers reach the widgets only
// through the WindowToolkit operations below.

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "calc/ratio_calculation.h"
#include "toolkit/controls.h"
#include "toolkit/program.h"
#include "toolkit/bound_window.h"
#include "toolkit/event_dispatch.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

class QAbstractButton;
class QCloseEvent;
class QWidget;

namespace toolkit::qt {

class QtWindow final : public BoundWindow {
 public:
  // Builds the window and its controls, hidden; needs a QApplication. Throws
  // ToolkitFailure for a layout that BuildOrder refuses, or one that names an
  // icon the program does not carry.
  QtWindow(const WindowLayout& layout, FailureDescriber describe);
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  // Attaches `events` (which must outlive the window), delivers Form_Load,
  // then shows the window centred on its screen unless Form_Load unloaded it.
  // Throws ToolkitFailure when the window is open already.
  void Open(WindowEvents& events) override;
  // True once the window has been unloaded (closed for good).
  bool IsUnloaded() const override;
  // Qt's event loop, until the window is unloaded.
  int RunLoop() override;
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
  class FieldWidget;

  void BuildControl(const ControlLayout& row, const WindowLayout& layout);
  void ConnectClick(QAbstractButton& button, Control control);
  void ChainFocus(std::span<const ControlLayout> rows);
  template <class Widget>
  Widget& ControlAs(Control control) const;
  void OnCloseRequest(QCloseEvent& event);
  // Presses the push button that `key` presses, as the core says; false
  // when none does.
  bool PressForKey(DialogKey key);

  std::span<const ControlLayout> rows_;
  std::unique_ptr<FormWidget> form_;
  std::array<QWidget*, kControlCount> controls_{};
  EventDispatch dispatch_;
};

}  // namespace toolkit::qt
