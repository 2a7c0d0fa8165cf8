#pragma once
// The one fixture of the Win32 binding's tests: the window of kForm2Layout
// with recording handlers, driven through Windows' own input (SendInput) and
// the same message processing as the program, under a watchdog.
//
// The watchdog (box_watchdog.h) runs on a thread timer, so it runs in every
// message loop, a message box's own included.

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "box_watchdog.h"
#include "recording_events.h"
#include "win32_test_helpers.h"
#include "toolkit/controls.h"
#include "toolkit/win32/win32_window.h"

namespace toolkit_win32_test {

using toolkit_test::DescribeForTest;
using toolkit_test::EventLog;
using toolkit_test::RecordingEvents;
using win32_test::ClassOf;
using win32_test::ClickAt;
using win32_test::OpenBox;
using win32_test::Press;
using win32_test::TextOf;
using win32_test::Wide;

// What a message box shows.
struct SeenBox {
  std::wstring title;
  std::wstring prompt;
  HICON icon = nullptr;
  int buttons = 0;
};
SeenBox Read(HWND box);

// The control's rectangle in pixels of the form's client area.
RECT ClientRect(HWND form, HWND control);

// Processes the thread's messages as the program does, for `ms` milliseconds
// or until a WM_QUIT, which is left for the message loop.
void Pump(const toolkit::win32::Win32Window& window, DWORD ms = 60);
// Processes messages until the window is the active one with a focused
// control, as it is once the desktop has shown it, or for two seconds.
void WaitUntilActive(const toolkit::win32::Win32Window& window);
// The same keys, or the click, processed as the program does: returns once
// the last of them has been dispatched (or after two seconds). A WM_QUIT met
// on the way is left for the message loop.
void Type(const toolkit::win32::Win32Window& window, std::initializer_list<WORD> keys,
          std::initializer_list<WORD> held = {});
void Click(const toolkit::win32::Win32Window& window, HWND control);

class Win32WindowTest : public ::testing::Test {
 protected:
  Win32WindowTest();
  ~Win32WindowTest() override;
  void TearDown() override;

  // The window of kForm2Layout with handlers recording into `events`, opened
  // and in the foreground on first use.
  toolkit::win32::Win32Window& Window();
  HWND Hwnd(toolkit::Control control) { return Window().ControlHandle(control); }
  void Pump(DWORD ms = 60) { toolkit_win32_test::Pump(Window(), ms); }
  void Type(std::initializer_list<WORD> keys, std::initializer_list<WORD> held = {}) {
    toolkit_win32_test::Type(Window(), keys, held);
  }
  void Click(toolkit::Control control) { toolkit_win32_test::Click(Window(), Hwnd(control)); }

  // The next message box to open goes to `inspect`, which must close it.
  void ExpectBox(std::function<void(HWND box)> inspect) { watchdog_.Expect(std::move(inspect)); }
  std::size_t BoxesStillExpected() const { return watchdog_.StillExpected(); }
  void RestartTimeLimit() { watchdog_.Restart(); }

  EventLog events;
  // The DPI functions the window is made with: this Windows' own unless a
  // test gives fewer before the window is made.
  toolkit::win32::DpiFunctions dpiFunctions = toolkit::win32::DpiFunctions::OfThisWindows();

 private:
  static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD);

  std::unique_ptr<RecordingEvents> handlers_;
  std::unique_ptr<toolkit::win32::Win32Window> window_;
  toolkit_test::BoxWatchdog<HWND> watchdog_;
  UINT_PTR timer_ = 0;
};

}  // namespace toolkit_win32_test
