// The cases that every binding runs (window_cases.h), on real Windows
// controls, driven through Windows' own input (SendInput) as a user does.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "window_cases.h"
#include "window_fixture.h"
#include "ui/failure_report.h"
#include "ui/form2_layout.h"

namespace toolkit_win32_test {
namespace {

using toolkit::Control;
using window_cases::Step;

// The table's key names, pressed through SendInput.
const std::map<std::string_view, void (*)()> kKeys = {
    {"Enter", [] { Press({VK_RETURN}); }},
    {"Escape", [] { Press({VK_ESCAPE}); }},
    {"Space", [] { Press({VK_SPACE}); }},
    {"Tab", [] { Press({VK_TAB}); }},
    {"Shift+Tab", [] { Press({VK_TAB}, {VK_SHIFT}); }},
    {"ArrowDown", [] { Press({VK_DOWN}); }},
    {"ArrowUp", [] { Press({VK_UP}); }},
    {"Control+z", [] { Press({'Z'}, {VK_CONTROL}); }},
    {"Control+v", [] { Press({'V'}, {VK_CONTROL}); }},
    {"Shift+Insert", [] { Press({VK_INSERT}, {VK_SHIFT}); }},
    {"Control+Shift+Insert", [] { Press({VK_INSERT}, {VK_CONTROL, VK_SHIFT}); }},
    {"Alt+F4", [] { Press({VK_F4}, {VK_MENU}); }},
};

void PutOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner) && EmptyClipboard());
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(data), text.c_str(), bytes);
  GlobalUnlock(data);
  SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
}

class Win32Driver final : public window_cases::WindowDriver {
 public:
  Win32Driver(const toolkit::win32::DpiFunctions& dpiFunctions,
              std::function<void(std::function<void(HWND)>)> expectBox,
              std::function<std::size_t()> stillExpected, std::function<void()> restartTimeLimit)
      : dpiFunctions_(dpiFunctions), expectBox_(std::move(expectBox)),
        stillExpected_(std::move(stillExpected)), restartTimeLimit_(std::move(restartTimeLimit)) {}

  // The keypad's Enter is the main Enter to a dialog; a Windows window has
  // no page behind it.
  std::set<std::string_view> Lacks() const override { return {"keypad", "page"}; }

  void Open() override {
    restartTimeLimit_();
    window_.reset();
    window_ = std::make_unique<toolkit::win32::Win32Window>(ui::kForm2Layout, ui::DescribeFailure,
                                                            dpiFunctions_);
    handlers_ = window_cases::CountingForm2(*window_, queryUnloads_);
    window_->Open(*handlers_);
    WaitUntilActive(*window_);
    ranLoop_ = false;
  }

  void Do(const Step& step) override {
    // The window is active again once a box has closed, as a user finds it.
    if (!window_->IsUnloaded()) WaitUntilActive(*window_);
    switch (step.what) {
      case Step::Do::Click: {
        // Two clicks on one control, each a click of its own, not a double click.
        if (step.control == lastClicked_) {
          const DWORD since = GetTickCount() - lastClick_;
          if (since <= GetDoubleClickTime()) Pump(*window_, GetDoubleClickTime() - since + 50);
        }
        Click(*window_, Hwnd(step.control));
        lastClicked_ = step.control;
        lastClick_ = GetTickCount();
        break;
      }
      case Step::Do::Type: {
        Click(*window_, Hwnd(step.control));
        ASSERT_EQ(GetFocus(), Hwnd(step.control));
        SendMessageW(Hwnd(step.control), EM_SETSEL, 0, -1);
        for (const char digit : step.text) {
          ASSERT_TRUE(digit >= '0' && digit <= '9') << "typed as digits only";
          Type(*window_, {static_cast<WORD>(digit)});
        }
        break;
      }
      case Step::Do::Key:
        kKeys.at(step.text)();
        Pump(*window_, 100);
        break;
      case Step::Do::Focus:
        SetFocus(Hwnd(step.control));
        Pump(*window_, 100);
        break;
      case Step::Do::Paste: {
        HWND field = Hwnd(step.control);
        PutOnClipboard(window_->Handle(), Wide(window_cases::Expand(step.text)));
        SetFocus(field);
        const int caret = step.caret < 0 ? GetWindowTextLengthW(field) : step.caret;
        SendMessageW(field, EM_SETSEL, caret, caret);
        if (step.how == "menu") {
          SendMessageW(field, WM_PASTE, 0, 0);  // what the context menu's Paste sends
        } else {
          kKeys.at(step.how)();
          Pump(*window_, 100);
        }
        break;
      }
      case Step::Do::CloseBox:
        PostMessageW(window_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump(*window_, 100);
        break;
      case Step::Do::TaskbarClose:
        SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
        break;
      case Step::Do::Focused:
      case Step::Do::Shows:
      case Step::Do::Box:
        break;
    }
  }

  void ExpectBox(std::function<void(const SeenBox&)> inspect) override {
    expectBox_([inspect = std::move(inspect)](HWND box) {
      const toolkit_win32_test::SeenBox seen = Read(box);
      inspect({win32_test::Narrow(seen.title), win32_test::Narrow(seen.prompt)});
    });
  }

  void CloseBoxByEnter() override { Press({VK_RETURN}); }

  std::optional<Control> FocusedControl() override {
    for (const toolkit::ControlLayout& row : ui::kForm2Controls) {
      if (GetFocus() == Hwnd(row.control)) return row.control;
    }
    return std::nullopt;
  }

  std::string Show(Control control) override {
    HWND hwnd = Hwnd(control);
    const std::wstring kind = ClassOf(hwnd);
    if ((GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON && kind == L"Button") {
      return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? "selected" : "";
    }
    const std::string text = win32_test::Narrow(TextOf(hwnd));
    if (kind == L"Edit" && !IsWindowEnabled(hwnd)) return text + " (disabled)";
    return text;
  }

  // Closed, the window has ended its message loop with status 0.
  bool Closed() override {
    if (!window_->IsUnloaded() || IsWindowVisible(window_->Handle())) return false;
    if (!ranLoop_) {
      ranLoop_ = true;
      EXPECT_EQ(window_->RunLoop(), 0);
    }
    return true;
  }
  int QueryUnloads() override { return queryUnloads_; }
  bool BoxesStillExpected() override {
    Pump(*window_, 100);
    return stillExpected_() > 0;
  }

 private:
  HWND Hwnd(Control control) const { return window_->ControlHandle(control); }

  const toolkit::win32::DpiFunctions dpiFunctions_;
  std::function<void(std::function<void(HWND)>)> expectBox_;
  std::function<std::size_t()> stillExpected_;
  std::function<void()> restartTimeLimit_;
  std::unique_ptr<toolkit::win32::Win32Window> window_;
  std::unique_ptr<toolkit::WindowEvents> handlers_;
  int queryUnloads_ = 0;
  bool ranLoop_ = false;
  std::optional<Control> lastClicked_;
  DWORD lastClick_ = 0;
};

// What the window is laid out from, with the DPI functions that Wine offers,
// as on Windows 10 and 11, and with none of them, as on Windows 7 and 8.
class Win32CasesTest : public Win32WindowTest,
                       public ::testing::WithParamInterface<toolkit::win32::DpiFunctions> {};

INSTANTIATE_TEST_SUITE_P(DpiFunctions, Win32CasesTest,
                         ::testing::Values(toolkit::win32::DpiFunctions::OfThisWindows(),
                                           toolkit::win32::DpiFunctions{}),
                         [](const auto& info) { return info.index == 0 ? "ThisWindows" : "AsOnWindows7"; });

// At the prefix of 96 DPI: what the window does does not change with the
// DPI, and where each control stands is checked at every DPI below.
TEST_F(Win32WindowTest, TheCasesOfEveryBinding) {
  const char* dpi = std::getenv("TR_WINE_DPI");
  if (dpi != nullptr && std::string_view(dpi) != "96") GTEST_SKIP() << "run at 96 DPI";
  Win32Driver driver(dpiFunctions, [this](auto inspect) { ExpectBox(std::move(inspect)); },
                     [this] { return BoxesStillExpected(); }, [this] { RestartTimeLimit(); });
  window_cases::RunCases(driver);
}

TEST_P(Win32CasesTest, EveryControlStandsWhereItsLayoutPutsIt) {
  dpiFunctions = GetParam();
  HWND form = Window().Handle();
  window_cases::CheckControls(
      [&](Control control) {
        HWND hwnd = Hwnd(control);
        const RECT rect = ClientRect(form, hwnd);
        // The pointer that the window sets over the control.
        const bool pointing = SendMessageW(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != FALSE &&
                              GetCursor() == LoadCursorW(nullptr, IDC_HAND);
        // Windows names a field by the label just before it in the stacking order.
        std::optional<Control> names;
        if (ClassOf(hwnd) == L"Static") {
          for (const toolkit::ControlLayout& row : ui::kForm2Controls) {
            if (GetWindow(hwnd, GW_HWNDNEXT) == Hwnd(row.control) && ClassOf(Hwnd(row.control)) == L"Edit") {
              names = row.control;
            }
          }
        }
        return window_cases::ControlView{rect.left, rect.top, rect.right - rect.left,
                                         rect.bottom - rect.top, win32_test::Narrow(TextOf(hwnd)),
                                         pointing, names};
      },
      Window().Dpi());
}

}  // namespace
}  // namespace toolkit_win32_test
