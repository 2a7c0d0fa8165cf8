#include "toolkit/window_core.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "toolkit/utf16.h"

namespace toolkit {
namespace {

std::string Name(Control control) { return std::string(ControlName(control)); }

void RequireUtf8(std::string_view text, const std::string& what) {
  if (!Utf8ToUtf16(text)) throw ToolkitFailure(what + " is not valid UTF-8");
}

const ControlLayout* RowOf(std::span<const ControlLayout> rows, Control control) {
  const auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const ControlLayout& r) { return r.control == control; });
  return row == rows.end() ? nullptr : &*row;
}

void CheckRow(const WindowLayout& layout, const ControlLayout& row) {
  const std::span<const ControlLayout> rows = layout.controls;
  RequireUtf8(row.caption, "the caption of " + Name(row.control));
  if ((row.font == FontRole::Label && layout.labelFont.points <= 0) ||
      (row.font == FontRole::Field && layout.fieldFont.points <= 0)) {
    throw ToolkitFailure(Name(row.control) + " is set in a font that the layout does not give");
  }
  if (row.container) {
    const ControlLayout* container = RowOf(rows, *row.container);
    if (container == nullptr || container->kind != ControlKind::Frame || container->container) {
      throw ToolkitFailure(Name(row.control) + " is put into " + Name(*row.container) +
                           ", which is no frame on the window");
    }
  }
  // An option's frame is what makes its group.
  if (row.kind == ControlKind::OptionButton && !row.container) {
    throw ToolkitFailure(Name(row.control) + " is an option outside any frame");
  }
  if (row.buttonRole != ButtonRole::None && row.kind != ControlKind::PushButton) {
    throw ToolkitFailure(Name(row.control) + " has a button role but is no push button");
  }
  if (row.buddy) {
    const ControlLayout* buddy = RowOf(rows, *row.buddy);
    if (row.kind != ControlKind::Label || buddy == nullptr) {
      throw ToolkitFailure(Name(row.control) + " cannot name " + Name(*row.buddy));
    }
    // The label would stand just before the option and split its group.
    if (buddy->kind == ControlKind::OptionButton) {
      throw ToolkitFailure(Name(row.control) + " names " + Name(*row.buddy) + ", an option");
    }
  }
}

// Each frame's options follow one another in the tab order, with nothing
// between them, so that they make one group for the dialog keys.
void CheckGroups(std::span<const ControlLayout> rows, const std::vector<Control>& focusOrder) {
  std::array<bool, kControlCount> groupSeen{};
  const ControlLayout* previous = nullptr;
  for (const Control control : focusOrder) {
    const ControlLayout& row = *RowOf(rows, control);
    const bool continuesGroup = previous != nullptr &&
                                previous->kind == ControlKind::OptionButton &&
                                previous->container == row.container;
    previous = &row;
    if (row.kind != ControlKind::OptionButton || continuesGroup) continue;
    if (std::exchange(groupSeen[Index(*row.container)], true)) {
      throw ToolkitFailure("the options of " + Name(*row.container) +
                           " do not follow one another in the tab order");
    }
  }
}

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::OptionButton || kind == ControlKind::TextBox ||
         kind == ControlKind::PushButton;
}

struct ClickEvent {
  Control control;
  ClickHandler handler;
};

// Which handler a click on a control runs.
constexpr std::array<ClickEvent, 8> kClickEvents{{
    {Control::Option1, &WindowEvents::Option1_Click},
    {Control::Option2, &WindowEvents::Option2_Click},
    {Control::Option3, &WindowEvents::Option3_Click},
    {Control::Option4, &WindowEvents::Option4_Click},
    {Control::Option5, &WindowEvents::Option5_Click},
    {Control::Option6, &WindowEvents::Option6_Click},
    {Control::Command1, &WindowEvents::Command1_Click},
    {Control::Command2, &WindowEvents::Command2_Click},
}};

constexpr std::array<Option, 6> kOptions{Option::Option1, Option::Option2, Option::Option3,
                                         Option::Option4, Option::Option5, Option::Option6};

std::optional<Option> OptionOf(Control control) {
  for (const Option option : kOptions) {
    if (option.control() == control) return option;
  }
  return std::nullopt;
}

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

std::vector<const ControlLayout*> BuildOrder(const WindowLayout& layout) {
  RequireUtf8(layout.caption, "the window's caption");
  RequireUtf8(layout.labelFont.face, "the label font's face");
  RequireUtf8(layout.fieldFont.face, "the field font's face");
  const std::span<const ControlLayout> rows = layout.controls;
  std::array<bool, kControlCount> laidOut{};
  for (const ControlLayout& row : rows) {
    if (Index(row.control) >= kControlCount) throw ToolkitFailure("a row names no control");
    if (std::exchange(laidOut[Index(row.control)], true)) {
      throw ToolkitFailure(Name(row.control) + " is laid out twice");
    }
  }
  for (const ControlLayout& row : rows) CheckRow(layout, row);
  CheckGroups(rows, FocusOrder(rows));

  // Frames stand on the window, so the rows on the window come first.
  std::vector<const ControlLayout*> order;
  for (const ControlLayout& row : rows) {
    if (!row.container) order.push_back(&row);
  }
  for (const ControlLayout& row : rows) {
    if (row.container) order.push_back(&row);
  }
  return order;
}

std::vector<Control> FocusOrder(std::span<const ControlLayout> rows) {
  std::vector<const ControlLayout*> byTabIndex;
  for (const ControlLayout& row : rows) {
    if (TakesFocus(row.kind)) byTabIndex.push_back(&row);
  }
  std::stable_sort(byTabIndex.begin(), byTabIndex.end(),
                   [](const ControlLayout* a, const ControlLayout* b) {
                     return a->tabIndex < b->tabIndex;
                   });
  std::vector<Control> order;
  for (const ControlLayout* row : byTabIndex) order.push_back(row->control);
  return order;
}

ClickHandler ClickHandlerOf(Control control) {
  for (const ClickEvent& event : kClickEvents) {
    if (event.control == control) return event.handler;
  }
  return nullptr;
}

std::u16string_view FirstLine(std::u16string_view text) {
  const std::size_t end = text.find_first_of(u"\r\n");
  return end == std::u16string_view::npos ? text : text.substr(0, end);
}

std::optional<std::u16string> KeepFirstLineOfEdit(std::u16string_view before,
                                                  std::u16string_view after,
                                                  std::size_t cursor) {
  cursor = std::min(cursor, after.size());
  // What follows the cursor was there before; what precedes it starts with
  // what the edit left of the old text.
  const std::size_t kept = after.size() - cursor;
  if (kept > before.size()) return std::nullopt;
  const std::size_t limit = std::min(before.size() - kept, cursor);
  std::size_t start = 0;
  while (start < limit && before[start] == after[start]) ++start;
  const std::u16string_view put = after.substr(start, cursor - start);
  if (std::none_of(put.begin(), put.end(), IsLineBreak)) return std::nullopt;
  std::u16string text(after.substr(0, start));
  text += FirstLine(put);
  text += after.substr(cursor);
  return text;
}

ToolkitFailure NoSuchControl(Control control) {
  return ToolkitFailure("the window has no " + Name(control) + " of the kind asked for");
}

ToolkitFailure StaysSelected(Control control) {
  return ToolkitFailure(Name(control) + " stays selected");
}

ToolkitFailure TextNotHeld(Control control) {
  return ToolkitFailure(Name(control) + " cannot hold the text given");
}

ToolkitFailure NotUtf8() { return ToolkitFailure("a text for the window is not valid UTF-8"); }

ToolkitFailure UnknownIcon(calc::MessageIcon icon) {
  return ToolkitFailure("unknown message box style " + std::to_string(static_cast<int>(icon)));
}

EventDispatch::EventDispatch(WindowToolkit& window, FailureDescriber describe,
                             std::function<bool()> close)
    : window_(window), describe_(describe), close_(std::move(close)) {
  if (describe_ == nullptr) throw ToolkitFailure("the window needs a failure describer");
  if (!close_) throw ToolkitFailure("the window needs a way to close");
}

bool EventDispatch::Load(WindowEvents& events) {
  if (events_ != nullptr) throw ToolkitFailure("the window is already open");
  events_ = &events;
  Run([](WindowEvents& e) { e.Form_Load(); });
  return !IsUnloaded();
}

void EventDispatch::Click(Control control) {
  const ClickHandler handler = ClickHandlerOf(control);
  if (handler == nullptr || events_ == nullptr || IsUnloaded()) return;
  if (IsRunning()) {
    waitingClicks_.push_back(control);
    return;
  }
  if (const std::optional<Option> option = OptionOf(control)) {
    bool selected = false;
    try {
      selected = window_.IsSelected(*option);
    } catch (...) {
      Report(std::current_exception());
      return;
    }
    if (!selected || selected_[Index(control)]) return;
    selected_[Index(control)] = true;
  }
  Run([handler](WindowEvents& e) { (e.*handler)(); });
}

bool EventDispatch::Run(const std::function<void(WindowEvents&)>& handler) {
  if (events_ == nullptr) return true;
  bool completed = true;
  ++running_;
  try {
    handler(*events_);
  } catch (...) {
    completed = false;
    Report(std::current_exception());
  }
  if (--running_ == 0) EndEvent();
  return completed;
}

void EventDispatch::EndEvent() {
  // An option that the handler or the toolkit unselected since is no longer
  // selected: a click on it selects it again.
  for (const Option option : kOptions) {
    bool& selected = selected_[Index(option.control())];
    try {
      if (selected) selected = window_.IsSelected(option);
    } catch (...) {
      selected = false;
    }
  }
  while (!waitingClicks_.empty() && state_ == State::Open && !IsRunning()) {
    const Control control = waitingClicks_.front();
    waitingClicks_.pop_front();
    Click(control);
  }
  HandleWaitingClose();
  // The session's question, answered yes while the handler ran, is put to
  // the handlers now; the window waits for the session's end.
  if (sessionQuestionWaiting_ && state_ == State::Open && !IsRunning()) {
    sessionQuestionWaiting_ = false;
    AskWhetherSessionMayEnd();
  }
}

void EventDispatch::HandleWaitingClose() {
  if (!waitingClose_ || state_ != State::Open || IsRunning()) return;
  const CloseReason reason = *std::exchange(waitingClose_, std::nullopt);
  if (!AskToUnload(reason)) return;
  try {
    Close();
  } catch (...) {
    Report(std::current_exception());
  }
}

void EventDispatch::Close() {
  if (!close_()) {
    state_ = State::Open;
    throw ToolkitFailure("the window did not close");
  }
  state_ = State::Unloaded;
  waitingClicks_.clear();
}

void EventDispatch::Unload() {
  if (state_ == State::SessionEnding) {  // Form_QueryUnload has agreed already
    state_ = State::Unloading;
    Close();
    return;
  }
  if (state_ != State::Open) return;
  if (!AskToUnload(CloseReason::Code)) return;
  Close();
}

bool EventDispatch::MayClose(CloseReason reason) {
  switch (state_) {
    case State::Open:
      if (IsRunning()) {
        if (!waitingClose_) waitingClose_ = reason;
        return false;
      }
      if (!AskToUnload(reason)) return false;
      break;
    case State::Querying:  // the handlers are still deciding an earlier request
      return false;
    case State::Unloading:
    case State::SessionEnding:
    case State::Unloaded:
      break;
  }
  state_ = State::Unloaded;
  waitingClicks_.clear();
  return true;
}

bool EventDispatch::MayEndSession() {
  if (state_ != State::Open) return state_ != State::Querying;
  if (IsRunning()) {
    sessionQuestionWaiting_ = true;
    return true;
  }
  return AskWhetherSessionMayEnd();
}

bool EventDispatch::AskWhetherSessionMayEnd() {
  if (!AskToUnload(CloseReason::Session)) return false;
  state_ = State::SessionEnding;
  return true;
}

void EventDispatch::EndSession(bool ending) {
  sessionQuestionWaiting_ = false;
  if (!ending) {
    if (state_ != State::SessionEnding) return;
    // A close that waited for the session's end is handled now.
    state_ = State::Open;
    HandleWaitingClose();
    return;
  }
  if (state_ != State::SessionEnding) return;  // still open, or closing already
  state_ = State::Unloading;
  Close();
}

bool EventDispatch::AskToUnload(CloseReason reason) {
  state_ = State::Querying;
  bool cancel = false;
  const bool completed = Run([&](WindowEvents& e) { e.Form_QueryUnload(cancel, reason); });
  state_ = completed && !cancel ? State::Unloading : State::Open;
  return state_ == State::Unloading;
}

void EventDispatch::Report(std::exception_ptr failure) noexcept {
  try {
    const calc::RatioOutcome outcome = describe_(failure);
    window_.ShowMessage(outcome.prompt, outcome.title, outcome.icon);
  } catch (...) {
    std::fputs("A handler of the window failed, and the failure could not be shown.\n", stderr);
  }
}

int RunBoundWindow(const std::function<std::unique_ptr<BoundWindow>()>& makeWindow,
                   const HandlerFactory& makeHandlers) {
  // Declared before the window, so destroyed after it.
  std::unique_ptr<WindowEvents> events;
  const std::unique_ptr<BoundWindow> window = makeWindow();
  events = makeHandlers(*window);
  if (events == nullptr) throw ToolkitFailure("no handlers were made for the window");
  window->Open(*events);
  if (window->IsUnloaded()) return 0;  // Form_Load unloaded it
  return window->RunLoop();
}

}  // namespace toolkit
