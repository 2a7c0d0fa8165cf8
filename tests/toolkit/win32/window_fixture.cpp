#include "window_fixture.h"

#include <vector>

#include "toolkit/utf16.h"
#include "ui/form2_layout.h"

namespace toolkit_win32_test {
namespace {

constexpr UINT kWatchIntervalMs = 10;
Win32WindowTest* watched = nullptr;  // the test the thread timer serves

// Reads one control of a message box into the SeenBox at `into`.
BOOL CALLBACK ReadBoxControl(HWND child, LPARAM into) {
  auto& seen = *reinterpret_cast<SeenBox*>(into);
  const std::wstring kind = ClassOf(child);
  if (kind == L"Button" && IsWindowVisible(child)) ++seen.buttons;
  if (kind == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
  } else if (kind == L"Static" && GetWindowTextLengthW(child) > 0) {
    seen.prompt = TextOf(child);
  }
  return TRUE;
}

}  // namespace

SeenBox Read(HWND box) {
  SeenBox seen{TextOf(box), {}, nullptr, 0};
  EnumChildWindows(box, &ReadBoxControl, reinterpret_cast<LPARAM>(&seen));
  return seen;
}

RECT ClientRect(HWND form, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Pump(const toolkit::win32::Win32Window& window, DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  MSG message;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      toolkit::win32::ProcessMessage(window, message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

namespace {

// Processes messages until `count` messages that `counts` accepts have been
// dispatched, or two seconds have passed, or a WM_QUIT comes, which is posted
// again for the message loop.
void PumpUntil(const toolkit::win32::Win32Window& window, int count,
               bool (*counts)(UINT message)) {
  const DWORD start = GetTickCount();
  MSG message;
  while (count > 0 && GetTickCount() - start < 2000) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (counts(message.message)) --count;
    toolkit::win32::ProcessMessage(window, message);
  }
}

}  // namespace

void WaitUntilActive(const toolkit::win32::Win32Window& window) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 2000;) {
    if (GetActiveWindow() == window.Handle() && GetFocus() != nullptr) return;
    Pump(window, 10);
  }
}

void Type(const toolkit::win32::Win32Window& window, std::initializer_list<WORD> keys,
          std::initializer_list<WORD> held) {
  Press(keys, held);
  PumpUntil(window, static_cast<int>(keys.size() + held.size()),
            [](UINT message) { return message == WM_KEYUP || message == WM_SYSKEYUP; });
}

void Click(const toolkit::win32::Win32Window& window, HWND control) {
  ClickAt(control);
  PumpUntil(window, 1, [](UINT message) { return message == WM_LBUTTONUP; });
}

static std::string DescribeBox(HWND box) {
  const SeenBox seen = Read(box);
  return win32_test::Narrow(seen.title) + ": " + win32_test::Narrow(seen.prompt);
}

Win32WindowTest::Win32WindowTest()
    : watchdog_({
          []() -> std::optional<HWND> {
            HWND box = OpenBox();
            if (box == nullptr) return std::nullopt;
            return box;
          },
          DescribeBox,
          [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); },
          nullptr,  // a box closes once its loop takes the message
          [] { PostQuitMessage(99); },
      }) {
  watched = this;
  timer_ = SetTimer(nullptr, 0, kWatchIntervalMs, &Win32WindowTest::Watch);
}

Win32WindowTest::~Win32WindowTest() {
  KillTimer(nullptr, timer_);
  watched = nullptr;
}

void Win32WindowTest::TearDown() {
  EXPECT_EQ(watchdog_.StillExpected(), 0u) << "an expected message box never opened";
  window_.reset();
}

toolkit::win32::Win32Window& Win32WindowTest::Window() {
  if (window_ == nullptr) {
    handlers_ = std::make_unique<RecordingEvents>(events);
    window_ = std::make_unique<toolkit::win32::Win32Window>(ui::kForm2Layout, DescribeForTest,
                                                            dpiFunctions);
    window_->Open(*handlers_);
    WaitUntilActive(*window_);
  }
  return *window_;
}

void CALLBACK Win32WindowTest::Watch(HWND, UINT, UINT_PTR, DWORD) {
  if (watched != nullptr) watched->watchdog_.Watch();
}

}  // namespace toolkit_win32_test
