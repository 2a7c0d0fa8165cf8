#include "win32_test_helpers.h"

#include <vector>

#include "toolkit/utf16.h"

namespace win32_test {
namespace {

struct BoxSearch {
  HWND owner;
  HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM search) {
  auto& found = *reinterpret_cast<BoxSearch*>(search);
  if (ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  const bool mine = found.owner != nullptr
                        ? GetWindow(window, GW_OWNER) == found.owner
                        : GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
  if (!mine) return TRUE;
  found.box = window;
  return FALSE;
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = toolkit::Utf8ToUtf16(utf8).value();
  return {text.begin(), text.end()};
}

std::string Narrow(std::wstring_view text) {
  return toolkit::Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::wstring TextOf(HWND window) {
  constexpr UINT kFlags = SMTO_ABORTIFHUNG;
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, kFlags, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           kFlags, 2000, &copied)) {
    return {};
  }
  text.resize(copied);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

HWND OpenBox(HWND owner) {
  BoxSearch search{owner, nullptr};
  EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
  return search.box;
}

void Press(std::initializer_list<WORD> keys, std::initializer_list<WORD> held) {
  std::vector<INPUT> inputs;
  for (const WORD key : held) inputs.push_back(KeyInput(key, false));
  for (const WORD key : keys) {
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
  }
  for (auto key = std::rbegin(held); key != std::rend(held); ++key) {
    inputs.push_back(KeyInput(*key, true));
  }
  Send(inputs);
}

void ClickAt(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  // Each event carries the position: under Wine a pointer motion that X
  // reports late can move the cursor back between the move and the press.
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = ((rect.left + rect.right) / 2 * 65535 + width / 2) / (width - 1);
  move.mi.dy = ((rect.top + rect.bottom) / 2 * 65535 + height / 2) / (height - 1);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  INPUT down = move;
  down.mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  INPUT up = move;
  up.mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  Send({move, down, up});
}

}  // namespace win32_test
