#pragma once
// What the Win32 window's tests and the end-to-end driver both do to windows
// on the desktop: read a window's text, find an open message box, and press
// keys and click through Windows' own input (SendInput).

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace win32_test {

// UTF-8 to UTF-16, for comparing with what a window shows: "传动比" -> L"传动比".
std::wstring Wide(std::string_view utf8);

// UTF-16 to UTF-8, for messages: L"传动比" -> "传动比".
std::string Narrow(std::wstring_view text);

// The window's text, read by WM_GETTEXT, so that it works for another
// process's controls too; empty when the window does not answer in 2 s.
std::wstring TextOf(HWND window);

// The window's class name: L"Button", L"#32770", ...
std::wstring ClassOf(HWND window);

// A visible message box (class #32770) owned by `owner`, or when `owner` is
// nullptr, one of this thread's; nullptr when none is open.
HWND OpenBox(HWND owner = nullptr);

// Keys pressed and released through SendInput, with the modifiers held
// around them: Press({VK_TAB}, {VK_SHIFT}). Returns at once.
void Press(std::initializer_list<WORD> keys, std::initializer_list<WORD> held = {});

// A left click at the centre of `window`, through SendInput; returns at once.
void ClickAt(HWND window);

}  // namespace win32_test
