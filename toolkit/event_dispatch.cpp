#include "toolkit/event_dispatch.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace toolkit {
namespace {

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

}  // namespace

ClickHandler ClickHandlerOf(Control control) {
  for (const ClickEvent& event : kClickEvents) {
    if (event.control == control) return event.handler;
  }
  return nullptr;
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
    waitingClicks_.erase(waitingClicks_.begin());
    Click(control);
  }
  HandleWaiting();
}

void EventDispatch::HandleWaiting() {
  while (!waiting_.empty() && state_ == State::Open && !IsRunning()) {
    const CloseReason reason = waiting_.front();
    waiting_.erase(waiting_.begin());
    if (!AskToUnload(reason)) continue;
    if (reason == CloseReason::Session) {
      state_ = State::SessionEnding;  // what waits still, waits for the session's end
      continue;
    }
    try {
      Close();
    } catch (...) {
      Report(std::current_exception());
    }
  }
}

void EventDispatch::Close() {
  if (!close_()) {
    state_ = State::Open;
    throw ToolkitFailure("the window did not close");
  }
  MarkUnloaded();
}

void EventDispatch::MarkUnloaded() {
  state_ = State::Unloaded;
  waitingClicks_.clear();
  waiting_.clear();
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
        if (std::find(waiting_.begin(), waiting_.end(), reason) == waiting_.end()) {
          waiting_.push_back(reason);
        }
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
  MarkUnloaded();
  return true;
}

bool EventDispatch::MayEndSession() {
  if (state_ != State::Open) return state_ != State::Querying;
  if (IsRunning()) {
    if (std::find(waiting_.begin(), waiting_.end(), CloseReason::Session) == waiting_.end()) {
      waiting_.push_back(CloseReason::Session);
    }
    return true;
  }
  if (!AskToUnload(CloseReason::Session)) return false;
  state_ = State::SessionEnding;
  return true;
}

void EventDispatch::EndSession(bool ending) {
  // A question that still waits is answered by the decision.
  waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), CloseReason::Session),
                 waiting_.end());
  if (state_ != State::SessionEnding) return;  // still open, or closing already
  if (ending) {
    state_ = State::Unloading;
    Close();
    return;
  }
  state_ = State::Open;
  HandleWaiting();
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

}  // namespace toolkit
