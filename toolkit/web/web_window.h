#pragma once
// The browser binding of WindowToolkit (Emscripten): one window-like panel of
// HTML form controls in the page, built from a WindowLayout, delivering the
// ten events of WindowEvents.
//
// How the parts meet: the page comes with the window already in it, written
// from the same layout by WindowMarkup when the page was built, and shown
// before the program is compiled. The constructor takes those elements over,
// checking each against its layout row (its kind, place, caption and
// container). page.js (the page side, loaded before the program) turns the
// user's clicks and close-box presses into events that it queues, and holds
// back what the user does before the program is ready, to give it in its
// order once it is; RunLoop takes the events one at a time, between
// handlers, and hands them to the toolkit's EventDispatch, which runs the
// handlers and their general error handling. What is put into a field keeps
// the first line that the core's FirstLine gives (tr_kept_length).
// ShowMessage opens a modal <dialog> and waits until it is closed: the
// program is suspended meanwhile (Asyncify) and the rest of the page is
// inert. Nothing here computes: the page shows what the core and the
// handlers say.

#include <array>
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

namespace toolkit::web {

class WebWindow final : public BoundWindow {
 public:
  // Takes over the window that the page shows. Throws ToolkitFailure for a
  // layout that BuildOrder refuses, or when the page's window, its icon or a
  // control is not the layout's.
  WebWindow(const WindowLayout& layout, FailureDescriber describe);
  ~WebWindow() override;
  WebWindow(const WebWindow&) = delete;
  WebWindow& operator=(const WebWindow&) = delete;

  // Delivers Form_Load; unless it unloaded the window, the page then gives
  // what the user did while the program was not yet ready.
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
  void TakeControl(const ControlLayout& row);
  // The index by which the page knows the control, when it was laid out as `kind`.
  int ControlOf(Control control, ControlKind kind) const;
  // One event from the page's queue, given to the dispatch.
  void Deliver(int event);
  // Hides the window; the page then says that the program has ended.
  bool Close();

  std::span<const ControlLayout> rows_;
  std::array<const ControlLayout*, kControlCount> rowOf_{};
  EventDispatch dispatch_;
};

}  // namespace toolkit::web
