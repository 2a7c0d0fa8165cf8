#include "toolkit/window_core.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
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
                                [control](const ControlLayout& r) { return r.control == control; });
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
  if (row.buddy && (row.kind != ControlKind::Label || RowOf(rows, *row.buddy) == nullptr)) {
    throw ToolkitFailure(Name(row.control) + " cannot name " + Name(*row.buddy));
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
  const auto event = std::find_if(kClickEvents.begin(), kClickEvents.end(),
                                  [control](const ClickEvent& e) { return e.control == control; });
  return event == kClickEvents.end() ? nullptr : event->handler;
}

EventDispatch::EventDispatch(WindowToolkit& window, FailureDescriber describe)
    : window_(window), describe_(describe) {
  if (describe_ == nullptr) throw ToolkitFailure("the window needs a failure describer");
}

bool EventDispatch::Load(WindowEvents& events) {
  if (events_ != nullptr) throw ToolkitFailure("the window is already open");
  events_ = &events;
  Run([](WindowEvents& e) { e.Form_Load(); });
  return !IsUnloaded();
}

void EventDispatch::Click(Control control) {
  if (const ClickHandler handler = ClickHandlerOf(control)) {
    Run([handler](WindowEvents& e) { (e.*handler)(); });
  }
}

bool EventDispatch::Run(const std::function<void(WindowEvents&)>& handler) {
  if (events_ == nullptr) return true;
  try {
    handler(*events_);
    return true;
  } catch (...) {
    Report(std::current_exception());
    return false;
  }
}

void EventDispatch::Unload(const std::function<bool()>& close) {
  if (state_ != State::Open) return;
  if (!AskToUnload(CloseReason::Code)) return;
  if (!close()) {
    state_ = State::Open;
    throw ToolkitFailure("the window did not close");
  }
  state_ = State::Unloaded;
}

bool EventDispatch::MayClose(CloseReason reason) {
  switch (state_) {
    case State::Open:
      if (!AskToUnload(reason)) return false;
      break;
    case State::Querying:  // the handlers are still deciding an earlier request
      return false;
    case State::Unloading:
    case State::Unloaded:
      break;
  }
  state_ = State::Unloaded;
  return true;
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
