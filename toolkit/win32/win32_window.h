#pragma once
// The Win32 binding of WindowToolkit: one top-level window of standard
// Windows controls built from a WindowLayout, delivering the ten events of
// WindowEvents.
//
// How the parts meet: the constructor makes each layout row a child window of
// the form (frame -> "Button" BS_GROUPBOX, option -> "Button"
// BS_AUTORADIOBUTTON, label -> "Static", text box -> single-line "Edit" that
// keeps the first line of a paste, push button -> "Button" BS_PUSHBUTTON),
// all siblings, an option standing at its frame's corner plus its own twips.
// The z-order, which Windows' dialog keys follow, is the tab order, each
// label just before the field it names and each frame's options one group. Twips become pixels at the window's DPI,
// and again when the DPI changes; the DPI functions of later Windows are
// looked up at run time (dpi_functions.h). The window procedure turns the
// controls' notifications and every close request into calls of the
// toolkit's EventDispatch, which runs the handlers inside the general error
// handling; nothing thrown ever leaves the window procedure. What it leaves
// goes to the dialog manager (DefDlgProcW), which keeps the focus across
// deactivation and minimising as in any dialog. RunLoop gives the
// dialog keys (Tab, arrows, Enter, Esc) to IsDialogMessageW.

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ratio_calculation.h"
#include "toolkit/controls.h"
#include "toolkit/program.h"
#include "toolkit/win32/dpi_functions.h"
#include "toolkit/bound_window.h"
#include "toolkit/event_dispatch.h"
#include "toolkit/window_layout.h"
#include "toolkit/window_toolkit.h"

namespace toolkit::win32 {

class Win32Window final : public BoundWindow {
 public:
  // Builds the window and its controls, hidden, at the DPI of the monitor
  // that Windows first places it on. Throws ToolkitFailure for a layout that
  // BuildOrder refuses, an icon the program does not carry as a resource, or
  // a window Windows does not make.
  // The DPI functions are those of this Windows; a test may give fewer.
  Win32Window(const WindowLayout& layout, FailureDescriber describe,
              const DpiFunctions& dpiFunctions = DpiFunctions::OfThisWindows());
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Attaches `events` (which must outlive the window), delivers Form_Load,
  // then shows the window centred on its monitor unless Form_Load unloaded it,
  // with the focus on the first control of the tab order.
  void Open(WindowEvents& events) override;
  // True once the window has been unloaded (closed for good).
  bool IsUnloaded() const override;
  // Runs the window's messages until it is unloaded; returns the exit status
  // that unloading leaves, 0.
  int RunLoop() override;
  HWND Handle() const { return window_; }
  HWND ControlHandle(Control control) const { return controls_[Index(control)]; }
  // The DPI the window is laid out for.
  int Dpi() const { return dpi_; }

  bool IsSelected(Option option) override;
  void Deselect(Option option) override;
  std::string GetText(TextField field) override;
  void SetText(TextField field, std::string_view text) override;
  void SetEnabled(TextField field, bool enabled) override;
  void SetCaption(Label label, std::string_view text) override;
  // MessageBoxW owned by the window, MB_OK with MB_ICONINFORMATION or
  // MB_ICONERROR; returns once the user has closed it.
  void ShowMessage(std::string_view prompt, std::string_view title,
                   calc::MessageIcon icon) override;
  // The binding shows one window, so `window` always names it.
  void UnloadWindow(Window window) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  // The controls, fonts, icons and size of the window just made.
  void Build();
  // Destroys the window and frees its fonts and icons.
  void Release() noexcept;
  void BuildControl(const ControlLayout& row, bool startsGroup);
  // The tab order, with each label just before the field it names and each
  // frame just before its first option.
  std::vector<const ControlLayout*> StackingOrder() const;
  RECT PlaceOf(const ControlLayout& row, int dpi) const;
  HFONT FontOf(const ControlLayout& row) const;
  void MakeFonts(int dpi);
  // Places and fonts at a new DPI, for a window already shown; the caller
  // places the window.
  void LayOut(int dpi);
  // The window's outer size for the layout's client area at `dpi`.
  SIZE FrameSize(int dpi) const;
  // Corrects the window's size where its frame at the DPI is not the one
  // Windows said (Wine draws every window's frame at one DPI), so that the
  // client area is the layout's.
  void FitClientArea();
  // Sizes the window for `dpi` and centres it on its monitor's work area.
  void PlaceWindow(int dpi);
  // Loads the layout's icon in the size that `which` (ICON_SMALL or
  // ICON_BIG) takes at `dpi` and gives it to the window.
  void SetIcon(WPARAM which, int dpi);
  void OnCommand(int id, int code, HWND from);
  void MakeDefault(HWND button);
  // Hides the window and ends the message loop once the running handler returns.
  bool Close();
  // The control's window, when it was laid out as `kind`.
  HWND ControlOf(Control control, ControlKind kind) const;

  const WindowLayout layout_;
  const DpiFunctions dpiFunctions_;
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  std::array<const ControlLayout*, kControlCount> rowOf_{};
  std::vector<const ControlLayout*> rows_;  // in BuildOrder
  int dpi_ = kStandardDpi;
  HFONT windowFont_ = nullptr;
  HFONT labelFont_ = nullptr;
  HFONT fieldFont_ = nullptr;
  std::array<HICON, 2> icons_{};  // the small icon, then the big one
  HWND defaultButton_ = nullptr;  // the layout's default push button
  HWND currentDefault_ = nullptr;  // the default now: the focused push button, or the layout's
  EventDispatch dispatch_;
};

// One message of the loop: a dialog key (Tab, an arrow, Enter, Esc) for the
// window goes to IsDialogMessageW, anything else is translated and dispatched.
void ProcessMessage(const Win32Window& window, MSG& message);

}  // namespace toolkit::win32
