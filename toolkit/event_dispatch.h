#pragma once
// The window's life, from Form_Load to its unloading, and the one-at-a-time
// rule of its events, for every binding alike: the binding turns its
// toolkit's signals into the calls below, and the dispatch runs the handlers
// inside the general error handling, which shows what left a handler as the
// FailureDescriber's box and lets the window go on.

#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "calc/ratio_calculation.h"
#include "toolkit/controls.h"
#include "toolkit/program.h"
#include "toolkit/window_toolkit.h"

namespace toolkit {

// The handler that a click on `control` runs; nullptr for a control that has
// none (a frame, a label, a text box).
using ClickHandler = void (WindowEvents::*)();
ClickHandler ClickHandlerOf(Control control);

//   Open --close asked--> Querying (Form_QueryUnload runs) --> Unloading --> Unloaded
//   Open --session may end?--> Querying --> SessionEnding --ended--> Unloaded
//                                                         --cancelled--> Open
//
// A cancel, or a failure in Form_QueryUnload, goes back to Open. A close
// asked while Form_QueryUnload runs is refused; one asked while unloading,
// such as UnloadWindow from Form_QueryUnload, adds nothing, so the window
// closes once. Each handler runs to its end before the next event: a click,
// a close request (a close from the taskbar while the result box is open) or
// the session's question that arrives while a handler runs waits, and the
// requests that wait are handled in the order they came once the handler
// has returned; what comes after the session's question waits until the
// session's end is decided.
class EventDispatch {
 public:
  // `window` shows the general error handling's boxes; `close` closes the
  // binding's window and ends its loop, and returns false if it could not.
  // Throws ToolkitFailure without a describer.
  EventDispatch(WindowToolkit& window, FailureDescriber describe, std::function<bool()> close);

  // Attaches `events`, which must outlive the dispatch, and delivers
  // Form_Load. True when the window is to be shown: Form_Load did not unload it.
  bool Load(WindowEvents& events);
  // The user clicked `control` (with the mouse, Space, an arrow key in an
  // option group, or Enter or Esc for a push button). A push button runs its
  // handler. An option runs its handler only when this click selected it: it
  // is selected now and was not when the previous event ended, so a click on
  // the option already selected runs nothing.
  void Click(Control control);
  // The binding's Deselect unselected `option`: a click selects it again.
  void Deselected(Option option) { selected_[Index(option.control())] = false; }
  // Runs `handler` on the attached events inside the general error handling;
  // false when it failed. Does nothing before Load.
  bool Run(const std::function<void(WindowEvents&)>& handler);

  // UnloadWindow: asks Form_QueryUnload (reason Code), then closes the
  // window. Throws ToolkitFailure when it does not close. Does nothing once a
  // close is under way.
  void Unload();
  // The binding's window is asked to close for `reason`: by its close box or
  // system menu. True when it may close now; it is unloaded then. While a
  // handler runs the request waits (false now), and the window is closed once
  // the handler has returned and Form_QueryUnload has agreed.
  bool MayClose(CloseReason reason);
  // The desktop session asks whether it may end: Form_QueryUnload (reason
  // Session) is raised once, and the window stays open until EndSession.
  // False when the handler cancelled. While a handler runs the answer is
  // yes, and the question waits.
  bool MayEndSession();
  // The session's end is decided: when `ending`, the window is unloaded and
  // closed; when not, the window stays open as it was, and what waited for
  // the decision is handled.
  void EndSession(bool ending);

  bool IsUnloaded() const { return state_ == State::Unloaded; }
  // True while a handler runs.
  bool IsRunning() const { return running_ > 0; }

  // The general error handling: shows `failure` as the describer's box.
  void Report(std::exception_ptr failure) noexcept;

 private:
  enum class State { Open, Querying, Unloading, SessionEnding, Unloaded };

  // Raises Form_QueryUnload; true when the window may close.
  bool AskToUnload(CloseReason reason);
  // Handles the requests that wait, while the window is open and idle.
  void HandleWaiting();
  // Closes the binding's window for good.
  void Close();
  // The window is unloaded: nothing that waits is handled any more.
  void MarkUnloaded();
  // What waits for the end of an event: the options' selection is noted and
  // the clicks and the requests that arrived meanwhile are handled.
  void EndEvent();

  WindowToolkit& window_;
  FailureDescriber describe_;
  std::function<bool()> close_;
  WindowEvents* events_ = nullptr;
  State state_ = State::Open;
  int running_ = 0;
  std::vector<Control> waitingClicks_;
  // The requests to close that wait, in the order they came, each reason
  // once; CloseReason::Session is the session's question.
  std::vector<CloseReason> waiting_;
  // By control: the options that were selected when the last event ended.
  std::array<bool, kControlCount> selected_{};
};

}  // namespace toolkit
