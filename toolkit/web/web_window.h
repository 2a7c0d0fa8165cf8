#pragma once
// The browser binding of WindowToolkit (Emscripten): one window-like panel of
// HTML form controls in the page, built from a WindowLayout, delivering the
// ten events of WindowEvents.
//
// How the parts meet: the constructor turns each layout row into an element
// of the page (frame -> fieldset with its legend, whose options share one
// radio group; option -> radio input in its label; label -> label for its
// field; text box -> text input; push button -> button), with the id
// ControlName(row.control), placed at TwipsToPixels of its twips in CSS
// pixels. page.js (the page side, loaded before the program) turns the
// user's clicks, close-box presses and pastes into events that it queues;
// RunLoop takes them one at a time, between handlers, and hands them to the
// toolkit's EventDispatch, which runs the handlers and their general error
// handling. ShowMessage opens a modal <dialog> and waits until it is closed:
// the program is suspended meanwhile (Asyncify) and the page stays live, so
// whatever the user does then waits in the queue until the handler returns.
// Nothing here computes: the page shows what the core and the handlers say.

#include <array>
#include <string>
#include <string_view>

#include "calc/ratio_calculation.h"
#include "toolkit/controls.h"
#include "toolkit/program.h"
#include "toolkit/window_core.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

namespace toolkit::web {

class WebWindow final : public BoundWindow {
 public:
  // Builds the window and its controls in the page, hidden. Throws
  // ToolkitFailure for a layout that BuildOrder refuses or an icon that the
  // page does not carry.
  WebWindow(const WindowLayout& layout, FailureDescriber describe);
  ~WebWindow() override;
  WebWindow(const WebWindow&) = delete;
  WebWindow& operator=(const WebWindow&) = delete;

  // Delivers Form_Load, then shows the window centred in the page, the focus
  // on the first control of the tab order, unless Form_Load unloaded it.
  void Open(WindowEvents& events) override;
  bool IsUnloaded() const override;
  // Takes the page's events until the window is unloaded; returns 0 then.
  int RunLoop() override;

  bool IsSelected(Option option) override;
  void Deselect(Option option) override;
  std::string GetText(TextField field) override;
  void SetText(TextField field, std::string_view text) override;
  void SetEnabled(TextField field, bool enabled) override;
  void SetCaption(Label label, std::string_view text) override;
  // A modal <dialog role="alertdialog">: title, icon, prompt and 确定.
  void ShowMessage(std::string_view prompt, std::string_view title,
                   calc::MessageIcon icon) override;
  // The binding shows one window, so `window` always names it.
  void UnloadWindow(Window window) override;

 private:
  void BuildControl(const ControlLayout& row, const WindowLayout& layout);
  // The index by which the page knows the control, when it was laid out as `kind`.
  int ControlOf(Control control, ControlKind kind) const;
  // One event from the page's queue, given to the dispatch.
  void Deliver(int event);
  // Hides the window; the page then says that the program has ended.
  bool Close();

  std::array<const ControlLayout*, kControlCount> rowOf_{};
  EventDispatch dispatch_;
};

}  // namespace toolkit::web
