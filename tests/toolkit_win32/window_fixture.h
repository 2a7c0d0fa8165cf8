#pragma once
// The one fixture of the Win32 binding's tests: the window of kForm2Layout
// with recording handlers, driven through Windows' own input (SendInput) and
// the same message processing as the program, under a watchdog.
//
// The watchdog is a thread timer, so it runs in every message loop, a message
// box's own included: each message box that opens goes to the next inspector
// queued with ExpectBox, which must close it; a box nobody expected fails the
// test and is closed; a test running past its time limit fails.

#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "recording_events.h"
#include "toolkit/controls.h"
#include "toolkit/win32/win32_window.h"

namespace toolkit_win32_test {

using toolkit_test::DescribeForTest;
using toolkit_test::EventLog;
using toolkit_test::RecordingEvents;

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

// Keys pressed and released through SendInput, with the modifiers held
// around them: Press({VK_TAB}, {VK_SHIFT}).
void Press(std::initializer_list<WORD> keys, std::initializer_list<WORD> held = {});
// A left click at the centre of `window`, through SendInput.
void ClickAt(HWND window);
// Processes the thread's messages as the program does, for `ms` milliseconds.
void Pump(const toolkit::win32::Win32Window& window, DWORD ms = 60);

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

  // The next message box to open goes to `inspect`, which must close it.
  void ExpectBox(std::function<void(HWND box)> inspect);

  EventLog events;

 private:
  static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD);
  void WatchBoxes();

  std::unique_ptr<RecordingEvents> handlers_;
  std::unique_ptr<toolkit::win32::Win32Window> window_;
  std::deque<std::function<void(HWND)>> expectedBoxes_;
  UINT_PTR timer_ = 0;
  DWORD started_ = 0;
  bool inspecting_ = false;
};

}  // namespace toolkit_win32_test
