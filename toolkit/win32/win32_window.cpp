#include "toolkit/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/field_text.h"
#include "toolkit/utf16.h"

namespace toolkit::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"TransmissionRatioForm";
// A fixed-size window with a caption, the system menu and the minimise and
// close boxes: no sizing border, no maximise box.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;
constexpr int kFirstControlId = 100;
// WM_GETDPISCALEDSIZE, which Windows 10 1703 sends and the Windows 7 headers hide.
constexpr UINT kGetDpiScaledSize = 0x02E4;

[[noreturn]] void Fail(const std::string& what) {
  throw ToolkitFailure(what + " (Windows error " + std::to_string(GetLastError()) + ")");
}

// UTF-8 to the UTF-16 of the W functions, refusing malformed input.
//   "传动比" -> L"传动比"     "\xFF" -> throws ToolkitFailure
std::wstring Wide(std::string_view utf8) {
  const std::optional<std::u16string> utf16 = Utf8ToUtf16(utf8);
  if (!utf16) throw NotUtf8();
  return {utf16->begin(), utf16->end()};
}

std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8({reinterpret_cast<const char16_t*>(wide.data()), wide.size()});
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int ControlId(const ControlLayout& row) {
  switch (row.buttonRole) {
    case ButtonRole::Default: return IDOK;
    case ButtonRole::Cancel: return IDCANCEL;
    case ButtonRole::None: break;
  }
  return kFirstControlId + static_cast<int>(Index(row.control));
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(const ControlLayout& row) {
  switch (row.kind) {
    case ControlKind::Frame: return {L"Button", BS_GROUPBOX, 0};
    case ControlKind::OptionButton: return {L"Button", BS_AUTORADIOBUTTON, 0};
    case ControlKind::Label: return {L"Static", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::TextBox:
      return {L"Edit", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::PushButton:
      return {L"Button",
              static_cast<DWORD>(row.buttonRole == ButtonRole::Default ? BS_DEFPUSHBUTTON
                                                                       : BS_PUSHBUTTON) |
                  BS_NOTIFY | WS_TABSTOP,
              0};
  }
  throw ToolkitFailure("a control of an unknown kind");
}

// The font of `spec` at `dpi`: its face, its height in pixels, its weight and
// its character set, upright and plain.
HFONT MakeFont(const FontSpec& spec, int dpi) {
  HFONT font = CreateFontW(-PointsToPixels(spec.points, dpi), 0, 0, 0, spec.weight, FALSE, FALSE,
                           FALSE, static_cast<DWORD>(spec.charset), OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           Wide(spec.face).c_str());
  if (font == nullptr) Fail("cannot make the font " + std::string(spec.face));
  return font;
}

// The desktop's interface font at `dpi`: the font of its message boxes.
HFONT MakeInterfaceFont(const DpiFunctions& functions, int dpi) {
  LOGFONTW description{};
  if (!functions.MessageFont(description, dpi)) Fail("cannot read the desktop's interface font");
  HFONT font = CreateFontIndirectW(&description);
  if (font == nullptr) Fail("cannot make the desktop's interface font");
  return font;
}

void DeleteFont(HFONT& font) {
  if (font != nullptr) DeleteObject(font);
  font = nullptr;
}

HICON LoadIconSized(std::string_view name, int side) {
  auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), Wide(name).c_str(),
                                             IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
  if (icon == nullptr) Fail("the program carries no icon " + std::string(name));
  return icon;
}

UINT BoxStyle(calc::MessageIcon icon) {
  switch (icon) {
    case calc::MessageIcon::Information: return MB_OK | MB_ICONINFORMATION;
    case calc::MessageIcon::Critical: return MB_OK | MB_ICONERROR;
  }
  throw UnknownIcon(icon);
}

// The text on the clipboard, to its first NUL, or nothing when it holds no
// text or another program keeps it open.
std::optional<std::wstring> ClipboardText(HWND owner) {
  if (!OpenClipboard(owner)) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      const std::wstring_view all(chars, GlobalSize(data) / sizeof(wchar_t));
      text.emplace(all.substr(0, all.find(L'\0')));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// A text box's window procedure: the Edit's own, which it keeps in its
// GWLP_USERDATA, but for pastes.
LRESULT CALLBACK FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto edit = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(field, GWLP_USERDATA));
  // The Edit pastes on Shift+Insert whether Ctrl is held or not, without a
  // WM_PASTE.
  const bool shiftInsert =
      message == WM_KEYDOWN && wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0;
  if (message == WM_PASTE || shiftInsert) {
    // A paste (Ctrl+V, Shift+Insert, Ctrl+Shift+Insert, the context menu's)
    // puts in the first line of the clipboard's text, as one step that
    // Ctrl+Z takes back. Windows' own field joins lines that end in a
    // carriage return alone.
    try {
      const std::optional<std::wstring> text = ClipboardText(field);
      if (!text) return 0;
      const std::u16string_view line =
          FirstLine({reinterpret_cast<const char16_t*>(text->data()), text->size()});
      const std::wstring put(line.begin(), line.end());
      SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(put.c_str()));
    } catch (const std::bad_alloc&) {
      // Too large to copy: nothing is pasted.
    }
    return 0;
  }
  return CallWindowProcW(edit, field, message, wParam, lParam);
}

void RegisterWindowClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    // The dialog manager's own bytes: DefDlgProcW keeps the focus and the
    // default button of the window as it does for a dialog.
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  if (!registered) Fail("cannot register the window class");
}

}  // namespace

Win32Window::Win32Window(const WindowLayout& layout, FailureDescriber describe,
                         const DpiFunctions& dpiFunctions)
    : layout_(layout), dpiFunctions_(dpiFunctions), rows_(BuildOrder(layout)),
      dispatch_(*this, describe, [this] { return Close(); }) {
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  RegisterWindowClass(&Win32Window::Procedure);
  window_ = CreateWindowExW(kWindowExStyle, kWindowClass, Wide(layout.caption).c_str(),
                            kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) Fail("cannot make the window");
  // The destructor does not run for a constructor that throws: release what
  // is made so far, so that no message reaches this object once it is gone.
  try {
    Build();
  } catch (...) {
    Release();
    throw;
  }
}

void Win32Window::Build() {
  // The DPI of the monitor the window is centred on.
  dpi_ = dpiFunctions_.MonitorDpi(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST));

  for (const ControlLayout* row : rows_) rowOf_[Index(row->control)] = row;
  // Each control is made where it stays, in its font and in its place in the
  // stacking order: nothing is moved, restyled or restacked before the
  // window is first shown.
  MakeFonts(dpi_);
  const ControlLayout* previous = nullptr;
  for (const ControlLayout* row : StackingOrder()) {
    // A frame stands just before its first option, which opens its group.
    const bool opensGroup = row->kind != ControlKind::OptionButton ||
                            (previous != nullptr && previous->control == *row->container);
    BuildControl(*row, opensGroup);
    previous = row;
  }
  // The title bar's icon now; the big one, for the task switcher, once the
  // window is shown.
  if (!layout_.icon.empty()) SetIcon(ICON_SMALL, dpi_);
  PlaceWindow(dpi_);
}

Win32Window::~Win32Window() { Release(); }

void Win32Window::Release() noexcept {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    window_ = nullptr;
  }
  DeleteFont(windowFont_);
  DeleteFont(labelFont_);
  DeleteFont(fieldFont_);
  for (HICON icon : icons_) {
    if (icon != nullptr) DestroyIcon(icon);
  }
}

void Win32Window::BuildControl(const ControlLayout& row, bool opensGroup) {
  const ControlClass kind = ClassOf(row);
  DWORD style = WS_CHILD | WS_VISIBLE | kind.style;
  if (opensGroup) style |= WS_GROUP;
  // A group with nothing selected yet has its tab stop where the core says.
  if (row.kind == ControlKind::OptionButton &&
      GroupTabStop(layout_.controls, *row.container, [](Control) { return false; }) == row.control) {
    style |= WS_TABSTOP;
  }
  const RECT place = PlaceOf(row, dpi_);
  HWND control = CreateWindowExW(
      kind.exStyle, kind.name, Wide(row.caption).c_str(), style, place.left, place.top,
      place.right - place.left, place.bottom - place.top, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(row))), GetModuleHandleW(nullptr),
      nullptr);
  if (control == nullptr) Fail("cannot make " + std::string(ControlName(row.control)));
  controls_[Index(row.control)] = control;
  // The window is not shown yet: nothing to redraw.
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(row)), FALSE);
  if (row.kind == ControlKind::TextBox) {
    SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FieldProcedure));
  }
  if (row.buttonRole == ButtonRole::Default) {
    defaultButton_ = currentDefault_ = control;
    // The dialog manager's default too, which it gives back when the focus
    // leaves a push button.
    SendMessageW(window_, DM_SETDEFID, static_cast<WPARAM>(ControlId(row)), 0);
  }
}

std::vector<const ControlLayout*> Win32Window::StackingOrder() const {
  // The tab order, with each label moved to just before the field it names
  // and each frame to just before its first option: Windows names a field by
  // the label before it, and a frame must not split its options' group.
  std::vector<const ControlLayout*> order(rows_);
  std::ranges::stable_sort(order, {}, &ControlLayout::tabIndex);
  const auto anchorOf = [&](const ControlLayout& row) -> std::optional<Control> {
    if (row.kind == ControlKind::Label) return row.buddy;
    if (row.kind != ControlKind::Frame) return std::nullopt;
    const auto option = std::ranges::find(order, std::optional(row.control),
                                          &ControlLayout::container);
    return option == order.end() ? std::nullopt : std::optional((*option)->control);
  };
  for (const ControlLayout* row : rows_) {
    const std::optional<Control> anchor = anchorOf(*row);
    if (!anchor) continue;
    std::erase(order, row);
    order.insert(std::ranges::find(order, *anchor, &ControlLayout::control), row);
  }
  return order;
}

RECT Win32Window::PlaceOf(const ControlLayout& row, int dpi) const {
  int left = row.left;
  int top = row.top;
  if (row.container) {
    left += rowOf_[Index(*row.container)]->left;
    top += rowOf_[Index(*row.container)]->top;
  }
  // Position and size are each rounded to whole pixels, not the far edges.
  const int x = TwipsToPixels(left, dpi);
  const int y = TwipsToPixels(top, dpi);
  return {x, y, x + TwipsToPixels(row.width, dpi), y + TwipsToPixels(row.height, dpi)};
}

HFONT Win32Window::FontOf(const ControlLayout& row) const {
  switch (row.font) {
    case FontRole::Label: return labelFont_;
    case FontRole::Field: return fieldFont_;
    case FontRole::Window: break;
  }
  return windowFont_;
}

// Replaces the three fonts without deleting the old ones, which controls may still use.
void Win32Window::MakeFonts(int dpi) {
  HFONT window = MakeInterfaceFont(dpiFunctions_, dpi);
  HFONT label = nullptr;
  HFONT field = nullptr;
  try {
    label = MakeFont(layout_.labelFont, dpi);
    field = MakeFont(layout_.fieldFont, dpi);
  } catch (...) {
    DeleteFont(window);
    DeleteFont(label);
    throw;
  }
  windowFont_ = window;
  labelFont_ = label;
  fieldFont_ = field;
}

void Win32Window::LayOut(int dpi) {
  HFONT fonts[] = {windowFont_, labelFont_, fieldFont_};
  MakeFonts(dpi);
  dpi_ = dpi;
  for (const ControlLayout* row : rows_) {
    const RECT place = PlaceOf(*row, dpi);
    HWND control = controls_[Index(row->control)];
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*row)), TRUE);
  }
  // The old fonts go once no control uses them.
  for (HFONT& old : fonts) DeleteFont(old);
}

SIZE Win32Window::FrameSize(int dpi) const {
  RECT frame{0, 0, TwipsToPixels(layout_.clientWidth, dpi),
             TwipsToPixels(layout_.clientHeight, dpi)};
  if (!dpiFunctions_.AdjustWindowRect(frame, kWindowStyle, kWindowExStyle, dpi)) {
    Fail("cannot size the window");
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void Win32Window::PlaceWindow(int dpi) {
  const SIZE size = FrameSize(dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    Fail("cannot find the screen to centre the window on");
  }
  const RECT& area = monitor.rcWork;
  SetWindowPos(window_, nullptr, area.left + (area.right - area.left - size.cx) / 2,
               area.top + (area.bottom - area.top - size.cy) / 2, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::FitClientArea() {
  RECT client{};
  RECT frame{};
  if (!GetClientRect(window_, &client) || !GetWindowRect(window_, &frame)) return;
  const int wrongWidth = TwipsToPixels(layout_.clientWidth, dpi_) - client.right;
  const int wrongHeight = TwipsToPixels(layout_.clientHeight, dpi_) - client.bottom;
  if (wrongWidth == 0 && wrongHeight == 0) return;
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + wrongWidth,
               frame.bottom - frame.top + wrongHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::SetIcon(WPARAM which, int dpi) {
  const int side = dpiFunctions_.SystemMetric(which == ICON_BIG ? SM_CXICON : SM_CXSMICON, dpi);
  HICON icon = LoadIconSized(layout_.icon, side);
  SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  HICON& old = icons_[which == ICON_BIG ? 1 : 0];
  if (old != nullptr) DestroyIcon(old);
  old = icon;
}

void Win32Window::Open(WindowEvents& events) {
  if (!dispatch_.Load(events)) return;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  // The focus starts at the first control of the tab order; from then on the
  // dialog manager keeps it across deactivation and minimising.
  const std::vector<Control> focusOrder = FocusOrder(layout_.controls);
  if (!focusOrder.empty()) SetFocus(controls_[Index(focusOrder.front())]);
  if (!layout_.icon.empty()) SetIcon(ICON_BIG, dpi_);
}

bool Win32Window::IsUnloaded() const { return dispatch_.IsUnloaded(); }

HWND Win32Window::ControlOf(Control control, ControlKind kind) const {
  const ControlLayout* row = rowOf_[Index(control)];
  if (row == nullptr || row->kind != kind) {
    throw NoSuchControl(control);
  }
  return controls_[Index(control)];
}

bool Win32Window::IsSelected(Option option) {
  HWND button = ControlOf(option.control(), ControlKind::OptionButton);
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::Deselect(Option option) {
  HWND button = ControlOf(option.control(), ControlKind::OptionButton);
  SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0);
  if (SendMessageW(button, BM_GETCHECK, 0, 0) != BST_UNCHECKED) {
    throw StaysSelected(option.control());
  }
  dispatch_.Deselected(option);
  // Unselecting an option takes its tab stop away: the group keeps its one
  // stop where the core says.
  const Control frame = *rowOf_[Index(option.control())]->container;
  const std::optional<Control> stop = GroupTabStop(layout_.controls, frame, [&](Control control) {
    return SendMessageW(controls_[Index(control)], BM_GETCHECK, 0, 0) == BST_CHECKED;
  });
  if (stop) {
    HWND first = controls_[Index(*stop)];
    SetWindowLongPtrW(first, GWL_STYLE, GetWindowLongPtrW(first, GWL_STYLE) | WS_TABSTOP);
  }
}

std::string Win32Window::GetText(TextField field) {
  return Narrow(TextOf(ControlOf(field.control(), ControlKind::TextBox)));
}

void Win32Window::SetText(TextField field, std::string_view text) {
  HWND edit = ControlOf(field.control(), ControlKind::TextBox);
  const std::wstring wanted = Wide(text);
  if (!SetWindowTextW(edit, wanted.c_str()) || TextOf(edit) != wanted) {
    throw TextNotHeld(field.control());
  }
}

void Win32Window::SetEnabled(TextField field, bool enabled) {
  EnableWindow(ControlOf(field.control(), ControlKind::TextBox), enabled);
}

void Win32Window::SetCaption(Label label, std::string_view text) {
  if (!SetWindowTextW(ControlOf(label.control(), ControlKind::Label), Wide(text).c_str())) {
    Fail("cannot set the caption of " + std::string(ControlName(label.control())));
  }
}

void Win32Window::ShowMessage(std::string_view prompt, std::string_view title,
                              calc::MessageIcon icon) {
  const UINT style = BoxStyle(icon);
  if (MessageBoxW(window_, Wide(prompt).c_str(), Wide(title).c_str(), style) == 0) {
    Fail("cannot show the message box");
  }
}

void Win32Window::UnloadWindow(Window /*window*/) {
  dispatch_.Unload();
}

bool Win32Window::Close() {
  ShowWindow(window_, SW_HIDE);
  PostQuitMessage(0);
  return true;
}

void Win32Window::MakeDefault(HWND button) {
  if (button == currentDefault_) return;
  for (HWND previous : {currentDefault_, button}) {
    if (previous == nullptr) continue;
    const auto style = static_cast<WPARAM>(GetWindowLongPtrW(previous, GWL_STYLE) & 0xFFFF &
                                           ~static_cast<LONG_PTR>(BS_TYPEMASK));
    SendMessageW(previous, BM_SETSTYLE,
                 style | (previous == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
  }
  currentDefault_ = button;
}

void Win32Window::OnCommand(int id, int code, HWND from) {
  const auto index = std::ranges::find_if(rows_, [&](const ControlLayout* row) {
    HWND control = controls_[Index(row->control)];
    return from != nullptr ? control == from : GetDlgCtrlID(control) == id;
  });
  if (index == rows_.end()) return;
  const ControlLayout& row = **index;
  HWND control = controls_[Index(row.control)];
  if (row.kind == ControlKind::OptionButton && code == BN_CLICKED) {
    dispatch_.Click(row.control);  // the core runs the handler when it selected the option
  } else if (row.kind == ControlKind::PushButton) {
    // As in a dialog, the push button with the focus is the default one.
    if (code == BN_SETFOCUS) MakeDefault(control);
    if (code == BN_KILLFOCUS) MakeDefault(defaultButton_);
    if (code == BN_CLICKED) dispatch_.Click(row.control);
  }
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(GetDlgCtrlID(currentDefault_), DC_HASDEFID);
    case WM_SETCURSOR: {
      const auto over = reinterpret_cast<HWND>(wParam);
      const bool pointing = LOWORD(lParam) == HTCLIENT &&
                            std::ranges::any_of(rows_, [&](const ControlLayout* row) {
                              return row->cursor == Cursor::PointingHand &&
                                     controls_[Index(row->control)] == over;
                            });
      if (!pointing) break;
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    }
    case WM_SYSCOMMAND:
      // A window minimised stays the active one where Windows has no other to
      // activate (Wine without a window manager): the dialog manager keeps
      // the focus for its return as it does when the window is deactivated.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) DefDlgProcW(window_, WM_ACTIVATE, WA_INACTIVE, 0);
      break;
    case WM_CLOSE:  // the close box, Alt+F4, the system menu; not IDCANCEL as in a dialog
      if (dispatch_.MayClose(CloseReason::ControlMenu)) Close();
      return 0;
    case WM_QUERYENDSESSION:  // may the session end? The window stays open meanwhile.
      return dispatch_.MayEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:  // decided: closed when it ends, as it was when it does not
      dispatch_.EndSession(wParam != FALSE);
      return 0;
    case kGetDpiScaledSize: {  // the frame Windows is to suggest for a new DPI
      *reinterpret_cast<SIZE*>(lParam) = FrameSize(static_cast<int>(LOWORD(wParam)));
      return TRUE;
    }
    case WM_DPICHANGED: {
      LayOut(HIWORD(wParam));
      if (!layout_.icon.empty()) {
        SetIcon(ICON_SMALL, dpi_);
        SetIcon(ICON_BIG, dpi_);
      }
      // Windows' suggestion gives the place; the size is the layout's at the
      // new DPI, whatever Windows' own scaling of the frame makes it.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      const SIZE size = FrameSize(dpi_);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      FitClientArea();
      return 0;
    }
    default:
      break;
  }
  return DefDlgProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::Procedure(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefDlgProcW(window, message, wParam, lParam);
  // Nothing thrown may cross into Windows: what the handlers' own general
  // error handling did not catch is reported here.
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    self->dispatch_.Report(std::current_exception());
    return 0;
  }
}

int Win32Window::RunLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) throw ToolkitFailure("the window's messages cannot be read");
    ProcessMessage(*this, message);
  }
}

void ProcessMessage(const Win32Window& window, MSG& message) {
  if (IsDialogMessageW(window.Handle(), &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace toolkit::win32
