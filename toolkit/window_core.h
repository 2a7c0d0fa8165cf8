#pragma once
// What every binding of WindowToolkit does alike, whatever its toolkit.
//
// A binding checks the layout and makes its controls in BuildOrder, chains
// the keyboard focus in FocusOrder, and leaves the window's life to one
// EventDispatch: Form_Load, the click handler of each control (an option's
// only when the click selected it), one event at a time, and closing, where
// Form_QueryUnload is asked once whatever asked for the close. Every
// handler runs inside the general error handling, which shows what left it
// as the FailureDescriber's box and lets the window go on. The binding itself
// only makes controls, performs the eight operations and turns its toolkit's
// signals into the calls below.

#include <array>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ratio_calculation.h"
#include "toolkit/controls.h"
#include "toolkit/program.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

namespace toolkit {

// The layout's rows in an order to build them in: each container before what
// it holds. Throws ToolkitFailure when the layout names a control twice, puts
// a control into anything but a frame that stands on the window, gives the
// default or cancel role to anything but a push button, gives a label a buddy
// it does not lay out or a buddy to anything but a label, lets a label name an
// option or parts a frame's options in the tab order (either would split the
// options' group where the dialog keys follow the order), sets a control in a
// font it does not give, or holds a caption or font face that is not UTF-8.
std::vector<const ControlLayout*> BuildOrder(const WindowLayout& layout);

// The controls that take the keyboard focus (options, text boxes and push
// buttons) in ascending tab index; rows of equal index keep their order.
std::vector<Control> FocusOrder(std::span<const ControlLayout> rows);

// The handler that a click on `control` runs; nullptr for a control that has
// none (a frame, a label, a text box).
using ClickHandler = void (WindowEvents::*)();
ClickHandler ClickHandlerOf(Control control);

// The first line of text pasted or inserted into a single-line field:
// everything before its first line break, as a single-line field keeps it.
//   u"1500\r\n2000" -> u"1500"     u"1500" -> u"1500"     u"\n1" -> u""
std::u16string_view FirstLine(std::u16string_view text);

// A single-line field whose text the user changed from `before` to `after`,
// with the cursor now at `cursor` (just after what was put in), keeps only
// the first line of what was put in. The text it should hold, or nothing when
// what was put in held no line break:
//   (u"ab", u"a1\n2b", 4) -> u"a1b"     (u"ab", u"a1b", 2) -> nullopt
std::optional<std::u16string> KeepFirstLineOfEdit(std::u16string_view before,
                                                  std::u16string_view after,
                                                  std::size_t cursor);

// The refusals that every binding makes, each with the same words.
ToolkitFailure NoSuchControl(Control control);   // "the window has no Text3 of the kind asked for"
ToolkitFailure StaysSelected(Control control);   // "Option2 stays selected"
ToolkitFailure TextNotHeld(Control control);     // "Text1 cannot hold the text given"
ToolkitFailure NotUtf8();                        // "a text for the window is not valid UTF-8"
ToolkitFailure UnknownIcon(calc::MessageIcon icon);  // "unknown message box style 3"

// The window's life, from Form_Load to its unloading, and the one-at-a-time
// rule of its events.
//
//   Open --close asked--> Querying (Form_QueryUnload runs) --> Unloading --> Unloaded
//   Open --session may end?--> Querying --> SessionEnding --ended--> Unloaded
//                                                         --cancelled--> Open
//
// A cancel, or a failure in Form_QueryUnload, goes back to Open. A close
// asked while Form_QueryUnload runs is refused; one asked while unloading,
// such as UnloadWindow from Form_QueryUnload, adds nothing, so the window
// closes once. Each handler runs to its end before the next event: a click
// or a close request that arrives while a handler runs (a close from the
// taskbar while the result box is open) waits, and is handled once that
// handler has returned.
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
  // system menu, or by the close that Unload makes. True when it may close
  // now; it is unloaded then. While a handler runs the request waits (false
  // now), and the window is closed once the handler has returned and
  // Form_QueryUnload has agreed.
  bool MayClose(CloseReason reason);
  // The desktop session asks whether it may end: Form_QueryUnload (reason
  // Session) is raised once, and the window stays open until EndSession.
  // False when the handler cancelled. While a handler runs the answer is
  // yes, and Form_QueryUnload is raised once the handler has returned; a
  // close request that waits meanwhile is kept until the session's end is
  // decided.
  bool MayEndSession();
  // The session's end is decided: when `ending`, the window is unloaded and
  // closed; when not, the window stays open as it was.
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
  // Raises Form_QueryUnload (reason Session); when it agrees, the window
  // waits for the session's end.
  bool AskWhetherSessionMayEnd();
  // Handles the close request that waited, if the window is open and idle.
  void HandleWaitingClose();
  // Closes the binding's window for good.
  void Close();
  // What waits for the end of an event: the options' selection is noted and
  // the clicks and the close request that arrived meanwhile are handled.
  void EndEvent();

  WindowToolkit& window_;
  FailureDescriber describe_;
  std::function<bool()> close_;
  WindowEvents* events_ = nullptr;
  State state_ = State::Open;
  int running_ = 0;
  std::deque<Control> waitingClicks_;
  std::optional<CloseReason> waitingClose_;
  // The session asked whether it may end while a handler ran.
  bool sessionQuestionWaiting_ = false;
  // By control: the options that were selected when the last event ended.
  std::array<bool, kControlCount> selected_{};
};

// A binding's window, as the start-up that every binding shares sees it.
class BoundWindow : public WindowToolkit {
 public:
  // Attaches `events` (which must outlive the window), delivers Form_Load,
  // then shows the window centred unless Form_Load unloaded it.
  virtual void Open(WindowEvents& events) = 0;
  // True once the window has been unloaded (closed for good).
  virtual bool IsUnloaded() const = 0;
  // Handles the window's events until it is unloaded; the exit status, 0.
  virtual int RunLoop() = 0;
};

// The start-up: makes the window, then its handlers, which outlive it;
// opens it, and runs its loop unless Form_Load unloaded it. Returns the exit
// status; throws what making the window throws, and ToolkitFailure when no
// handlers are made.
int RunBoundWindow(const std::function<std::unique_ptr<BoundWindow>()>& makeWindow,
                   const HandlerFactory& makeHandlers);

}  // namespace toolkit
