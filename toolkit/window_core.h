#pragma once
// What every binding of WindowToolkit does alike, whatever its toolkit.
//
// A binding checks the layout and makes its controls in BuildOrder, chains
// the keyboard focus in FocusOrder, and leaves the window's life to one
// EventDispatch: Form_Load, the click handler of each control, and closing,
// where Form_QueryUnload is asked once whatever asked for the close. Every
// handler runs inside the general error handling, which shows what left it
// as the FailureDescriber's box and lets the window go on. The binding itself
// only makes controls, performs the eight operations and turns its toolkit's
// signals into the calls below.

#include <functional>
#include <span>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/program.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

namespace toolkit {

// The layout's rows in an order to build them in: each container before what
// it holds. Throws ToolkitFailure when the layout names a control twice, puts
// a control into anything but a frame that stands on the window, gives the
// default or cancel role to anything but a push button, gives a label a buddy
// it does not lay out or a buddy to anything but a label, sets a control in a
// font it does not give, or holds a caption or font face that is not UTF-8.
std::vector<const ControlLayout*> BuildOrder(const WindowLayout& layout);

// The controls that take the keyboard focus (options, text boxes and push
// buttons) in ascending tab index; rows of equal index keep their order.
std::vector<Control> FocusOrder(std::span<const ControlLayout> rows);

// The handler that a click on `control` runs; nullptr for a control that has
// none (a frame, a label, a text box).
using ClickHandler = void (WindowEvents::*)();
ClickHandler ClickHandlerOf(Control control);

// The window's life, from Form_Load to its unloading.
//
//   Open --close asked--> Querying (Form_QueryUnload runs) --> Unloading --> Unloaded
//
// A cancel, or a failure in Form_QueryUnload, goes back to Open. A close
// asked while Form_QueryUnload runs is refused; one asked while unloading,
// such as UnloadWindow from Form_QueryUnload, adds nothing, so the window
// closes once.
class EventDispatch {
 public:
  // `window` shows the general error handling's boxes; throws ToolkitFailure
  // without a describer.
  EventDispatch(WindowToolkit& window, FailureDescriber describe);

  // Attaches `events`, which must outlive the dispatch, and delivers
  // Form_Load. True when the window is to be shown: Form_Load did not unload it.
  bool Load(WindowEvents& events);
  // Runs the click handler of `control`, if it has one.
  void Click(Control control);
  // Runs `handler` on the attached events inside the general error handling;
  // false when it failed. Does nothing before Load.
  bool Run(const std::function<void(WindowEvents&)>& handler);

  // UnloadWindow: asks Form_QueryUnload (reason Code), then calls `close`,
  // which closes the binding's window and returns false if it could not.
  // Throws ToolkitFailure then. Does nothing once a close is under way.
  void Unload(const std::function<bool()>& close);
  // The binding's window is asked to close for `reason`: by its close box or
  // system menu, by the session's end, or by the close that Unload makes.
  // True when it may close; it is unloaded then.
  bool MayClose(CloseReason reason);
  bool IsUnloaded() const { return state_ == State::Unloaded; }

  // The general error handling: shows `failure` as the describer's box.
  void Report(std::exception_ptr failure) noexcept;

 private:
  enum class State { Open, Querying, Unloading, Unloaded };

  // Raises Form_QueryUnload; true when the window may close.
  bool AskToUnload(CloseReason reason);

  WindowToolkit& window_;
  FailureDescriber describe_;
  WindowEvents* events_ = nullptr;
  State state_ = State::Open;
};

}  // namespace toolkit
