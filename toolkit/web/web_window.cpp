#include "toolkit/web/web_window.h"

#include <emscripten.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/field_text.h"
#include "toolkit/utf16.h"

// The page side, TrPage in page.js, at file scope as Emscripten wants its
// imports. Texts cross as UTF-16 code units (pointer and length), so a
// JavaScript string with a lone surrogate reaches the program as it is, and
// Utf16ToUtf8 replaces that surrogate.
EM_JS(int, tr_take_window, (const char16_t* caption, int captionLength, const char16_t* icon,
                            int iconLength, int width, int height), {
  return TrPage.takeWindow(TrPage.text(caption, captionLength), TrPage.text(icon, iconLength),
                           width, height);
});
EM_JS(int, tr_take_control, (int index, int kind, const char16_t* name, int nameLength,
                             int container, const char16_t* caption, int captionLength, int left,
                             int top, int width, int height, const char16_t* detail,
                             int detailLength), {
  return TrPage.takeControl(index, kind, TrPage.text(name, nameLength), container,
                            TrPage.text(caption, captionLength), left, top, width, height,
                            TrPage.text(detail, detailLength));
});
EM_JS(void, tr_focus, (int index), { TrPage.input(index).focus(); });
EM_JS(int, tr_is_enabled, (int index), { return TrPage.input(index).disabled ? 0 : 1; });
EM_JS(void, tr_window_ready, (), { TrPage.ready(); });
EM_JS(int, tr_close_window, (), { return TrPage.closeWindow(); });
EM_JS(int, tr_is_checked, (int index), { return TrPage.input(index).checked ? 1 : 0; });
EM_JS(void, tr_uncheck, (int index), { TrPage.input(index).checked = false; });
EM_JS(int, tr_hold_value, (int index), { return TrPage.hold(TrPage.input(index).value); });
EM_JS(void, tr_copy_held, (char16_t* out), { TrPage.copyHeld(out); });
EM_JS(void, tr_set_value, (int index, const char16_t* text, int length), {
  TrPage.input(index).value = TrPage.text(text, length);
});
EM_JS(void, tr_set_enabled, (int index, int enabled), { TrPage.input(index).disabled = !enabled; });
EM_JS(void, tr_set_caption, (int index, const char16_t* text, int length), {
  TrPage.control(index).textContent = TrPage.text(text, length);
});
EM_ASYNC_JS(int, tr_show_message, (const char16_t* prompt, int promptLength, const char16_t* title,
                                   int titleLength, int critical), {
  return await TrPage.showMessage(TrPage.text(prompt, promptLength),
                                  TrPage.text(title, titleLength), critical);
});
EM_ASYNC_JS(int, tr_next_event, (), { return await TrPage.nextEvent(); });
EM_JS(void, tr_show_start_failure, (const char16_t* line, int length), {
  TrPage.showStartFailure(TrPage.text(line, length));
});

// What a field keeps of text put into it (typed, pasted, dropped, or
// committed by a keyboard, an input method or a dictation), in code units:
// its first line. The page asks before it lets the browser insert `text`.
extern "C" EMSCRIPTEN_KEEPALIVE int tr_kept_length(const char16_t* text, int length) {
  return static_cast<int>(
      toolkit::FirstLine({text, static_cast<std::size_t>(length)}).size());
}

namespace toolkit::web {
namespace {

// What page.js queues: the kind in the high bits, the control's index in the low byte.
// A key's index is that of the control with the focus, 0xFF for none.
enum EventKind : int {
  kClick = 1,     // a click on an option or a push button (mouse, Space, arrows)
  kCloseBox = 2,  // the window's close box
  kEnter = 3,     // the keys of a dialog
  kEscape = 4,
  kTab = 5,
  kShiftTab = 6,
};

// How page.js names what a layout row is, and a push button's role.
enum PageKind : int { kFrame = 0, kOption = 1, kLabel = 2, kTextBox = 3, kPushButton = 4 };

PageKind PageKindOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame: return kFrame;
    case ControlKind::OptionButton: return kOption;
    case ControlKind::Label: return kLabel;
    case ControlKind::TextBox: return kTextBox;
    case ControlKind::PushButton: return kPushButton;
  }
  throw ToolkitFailure("a control of an unknown kind");
}

std::u16string ForPage(std::string_view utf8) {
  std::optional<std::u16string> text = Utf8ToUtf16(utf8);
  if (!text) throw NotUtf8();
  return *std::move(text);
}

int Length(std::u16string_view text) { return static_cast<int>(text.size()); }

// The index by which page.js knows a control.
int PageIndex(Control control) { return static_cast<int>(Index(control)); }

// The text that page.js holds after tr_hold_value, `length` code units long.
std::u16string TakeHeld(int length) {
  std::u16string text(static_cast<std::size_t>(length), u'\0');
  tr_copy_held(text.data());
  return text;
}

}  // namespace

WebWindow::WebWindow(const WindowLayout& layout, FailureDescriber describe)
    : rows_(layout.controls), dispatch_(*this, describe, [this] { return Close(); }) {
  const std::vector<const ControlLayout*> rows = BuildOrder(layout);
  const std::u16string caption = ForPage(layout.caption);
  const std::u16string icon = ForPage(layout.icon);
  switch (tr_take_window(caption.data(), Length(caption), icon.data(), Length(icon),
                         TwipsToPixels(layout.clientWidth), TwipsToPixels(layout.clientHeight))) {
    case 0: break;
    case 1: throw ToolkitFailure("the page holds no window of the layout's caption and size");
    default: throw ToolkitFailure("the page carries no icon " + std::string(layout.icon));
  }
  for (const ControlLayout* row : rows) {
    rowOf_[Index(row->control)] = row;
    TakeControl(*row);
  }
}

WebWindow::~WebWindow() = default;

void WebWindow::TakeControl(const ControlLayout& row) {
  const std::u16string name = ForPage(ControlName(row.control));
  const std::u16string caption = ForPage(row.caption);
  // A label's field, or a push button's role.
  std::u16string detail;
  if (row.buddy) detail = ForPage(ControlName(*row.buddy));
  if (row.buttonRole == ButtonRole::Default) detail = u"default";
  if (row.buttonRole == ButtonRole::Cancel) detail = u"cancel";
  if (!tr_take_control(PageIndex(row.control), PageKindOf(row.kind), name.data(), Length(name),
                       row.container ? PageIndex(*row.container) : -1, caption.data(),
                       Length(caption), TwipsToPixels(row.left), TwipsToPixels(row.top),
                       TwipsToPixels(row.width), TwipsToPixels(row.height), detail.data(),
                       Length(detail))) {
    throw ToolkitFailure("the page's " + std::string(ControlName(row.control)) +
                         " is not the one the layout gives");
  }
}

int WebWindow::ControlOf(Control control, ControlKind kind) const {
  const ControlLayout* row = Index(control) < kControlCount ? rowOf_[Index(control)] : nullptr;
  if (row == nullptr || row->kind != kind) throw NoSuchControl(control);
  return PageIndex(control);
}

void WebWindow::Open(WindowEvents& events) {
  if (!dispatch_.Load(events)) return;
  tr_window_ready();
}

bool WebWindow::IsUnloaded() const { return dispatch_.IsUnloaded(); }

int WebWindow::RunLoop() {
  while (!dispatch_.IsUnloaded()) {
    const int event = tr_next_event();
    // What the dispatch's general error handling did not catch is reported
    // here, and the window goes on.
    try {
      Deliver(event);
    } catch (...) {
      dispatch_.Report(std::current_exception());
    }
  }
  return 0;
}

void WebWindow::Deliver(int event) {
  const int index = event & 0xFF;
  std::optional<Control> control;
  if (index < static_cast<int>(kControlCount) && rowOf_[index] != nullptr) {
    control = static_cast<Control>(index);
  }
  switch (event >> 8) {
    case kClick:
      if (control) dispatch_.Click(*control);
      break;
    case kCloseBox:
      if (dispatch_.MayClose(CloseReason::ControlMenu)) Close();
      break;
    case kEnter:
    case kEscape:
      if (const auto button = ButtonForKey(
              rows_, event >> 8 == kEnter ? DialogKey::Enter : DialogKey::Escape, control)) {
        dispatch_.Click(*button);
      }
      break;
    case kTab:
    case kShiftTab: {
      const auto selected = [](Control c) { return tr_is_checked(PageIndex(c)) != 0; };
      const auto enabled = [](Control c) { return tr_is_enabled(PageIndex(c)) != 0; };
      if (const auto to = NextTabStop(rows_, control, event >> 8 == kTab, selected, enabled)) {
        tr_focus(PageIndex(*to));
      }
      break;
    }
    default:
      break;
  }
}

bool WebWindow::IsSelected(Option option) {
  return tr_is_checked(ControlOf(AsControl(option), ControlKind::OptionButton)) != 0;
}

void WebWindow::Deselect(Option option) {
  const int index = ControlOf(AsControl(option), ControlKind::OptionButton);
  tr_uncheck(index);
  if (tr_is_checked(index) != 0) throw StaysSelected(AsControl(option));
  dispatch_.Deselected(option);
}

std::string WebWindow::GetText(TextField field) {
  const int index = ControlOf(AsControl(field), ControlKind::TextBox);
  return Utf16ToUtf8(TakeHeld(tr_hold_value(index)));
}

void WebWindow::SetText(TextField field, std::string_view text) {
  const int index = ControlOf(AsControl(field), ControlKind::TextBox);
  const std::u16string wanted = ForPage(text);
  tr_set_value(index, wanted.data(), Length(wanted));
  // A text input drops line breaks from what it is given.
  if (TakeHeld(tr_hold_value(index)) != wanted) throw TextNotHeld(AsControl(field));
}

void WebWindow::SetEnabled(TextField field, bool enabled) {
  tr_set_enabled(ControlOf(AsControl(field), ControlKind::TextBox), enabled ? 1 : 0);
}

void WebWindow::SetCaption(Label label, std::string_view text) {
  const std::u16string caption = ForPage(text);
  tr_set_caption(ControlOf(AsControl(label), ControlKind::Label), caption.data(), Length(caption));
}

void WebWindow::ShowMessage(std::string_view prompt, std::string_view title,
                            calc::MessageIcon icon) {
  if (icon != calc::MessageIcon::Information && icon != calc::MessageIcon::Critical) {
    throw UnknownIcon(icon);
  }
  const std::u16string prompt16 = ForPage(prompt);
  const std::u16string title16 = ForPage(title);
  if (!tr_show_message(prompt16.data(), Length(prompt16), title16.data(), Length(title16),
                       icon == calc::MessageIcon::Critical ? 1 : 0)) {
    throw ToolkitFailure("cannot show the message box");
  }
}

void WebWindow::UnloadWindow(Window /*window*/) { dispatch_.Unload(); }

bool WebWindow::Close() { return tr_close_window() != 0; }

}  // namespace toolkit::web

namespace toolkit {

int RunWindow(std::string_view program, const WindowLayout& layout,
              const HandlerFactory& makeHandlers, FailureDescriber describe) {
  // The page shows the line where the window would be, and the console has it too.
  return RunBoundWindow(
      program, [&] { return std::make_unique<web::WebWindow>(layout, describe); }, makeHandlers,
      [](const std::string& line) {
        const std::u16string text = Utf8ToUtf16(line).value_or(u"cannot open the window");
        tr_show_start_failure(text.data(), static_cast<int>(text.size()));
      });
}

}  // namespace toolkit
