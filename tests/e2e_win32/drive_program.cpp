// The Windows program end to end, driven from outside as a user would: a
// separate process that starts it, clicks and types through SendInput, reads
// each message box's title and prompt from the box itself, and closes the
// window by Alt+F4 in one run and by the exit button in another.
//
//   drive_program PROGRAM.exe      (a Windows path, or a Unix path under Wine)
//   drive_program SHORTCUT.lnk     the program a shortcut names, started in
//                                  the shortcut's folder (the Start menu)
//
// Prints one line a check; exits 1 when one fails.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "win32_test_helpers.h"

namespace {

using win32_test::TextOf;

constexpr wchar_t kCaption[] = L"传动比计算（作者：Velnor）";
constexpr DWORD kTimeoutMs = 20000;
int failures = 0;

bool Check(bool holds, const std::string& what, const std::wstring& seen = L"") {
  std::printf("%s %s%s%s\n", holds ? "ok  " : "FAIL", what.c_str(), seen.empty() ? "" : ": ",
              win32_test::Narrow(seen).c_str());
  if (!holds) ++failures;
  return holds;
}

// Waits until `find` finds a window; nullptr after the time-out.
HWND WaitFor(const std::function<HWND()>& find) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs; Sleep(50)) {
    if (HWND window = find()) return window;
  }
  return nullptr;
}

// The visible message box owned by `form`, if one is open.
HWND OpenBox(HWND form) { return win32_test::OpenBox(form); }

// A box's prompt: its static text that is not the icon.
std::wstring PromptOf(HWND box) {
  for (HWND child = nullptr; (child = FindWindowExW(box, child, L"Static", nullptr)) != nullptr;) {
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    if (const std::wstring text = TextOf(child); !text.empty()) return text;
  }
  return {};
}

// Each input is given 100 ms to reach the program.
void Key(WORD key, std::initializer_list<WORD> held = {}) {
  win32_test::Press({key}, held);
  Sleep(100);
}

void Click(HWND window) {
  win32_test::ClickAt(window);
  Sleep(100);
}

void Type(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    for (const DWORD up : {0UL, static_cast<DWORD>(KEYEVENTF_KEYUP)}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(input);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(100);
}

// The `n`th (from 0) child button or label of `form` with this caption, in
// the window's order, as a screen reader finds it.
HWND Find(HWND form, const wchar_t* kind, const std::wstring& caption, int n = 0) {
  HWND found = nullptr;
  for (int i = 0; i <= n; ++i) found = FindWindowExW(form, found, kind, caption.c_str());
  return found;
}

// The field a label names: the control after it.
HWND FieldOf(HWND form, const std::wstring& label) {
  HWND found = Find(form, L"Static", label);
  return found != nullptr ? GetWindow(found, GW_HWNDNEXT) : nullptr;
}

// Presses Enter and reads the box that opens; closes it with Enter.
void ExpectBox(HWND form, const std::wstring& title, const std::wstring& prompt) {
  Key(VK_RETURN);
  HWND box = WaitFor([&] { return OpenBox(form); });
  if (!Check(box != nullptr, "a message box opens")) return;
  Check(TextOf(box) == title, "its title", TextOf(box));
  Check(PromptOf(box) == prompt, "its prompt", PromptOf(box));
  Key(VK_RETURN);
  Check(WaitFor([&] { return OpenBox(form) == nullptr ? form : nullptr; }) != nullptr,
        "Enter closes it");
}

bool WaitForForeground(HWND form) {
  return WaitFor([&] { return GetForegroundWindow() == form ? form : nullptr; }) != nullptr;
}

// The program a shell link names and its working folder; empty when the
// link cannot be read. The target comes from the link's item list, which
// holds each name in Unicode, as the shell resolves it: Wine writes the
// link's other copy of the path in the ANSI code page, where a Chinese name
// is lost outside a Chinese locale.
std::pair<std::wstring, std::wstring> ShortcutTarget(const std::wstring& link) {
  wchar_t target[MAX_PATH] = {};
  wchar_t folder[MAX_PATH] = {};
  IShellLinkW* shortcut = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shortcut)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
        PIDLIST_ABSOLUTE items = nullptr;
        if (SUCCEEDED(shortcut->GetIDList(&items)) && items != nullptr) {
          SHGetPathFromIDListW(items, target);
          CoTaskMemFree(items);
        }
        shortcut->GetWorkingDirectory(folder, MAX_PATH);
      }
      file->Release();
    }
    shortcut->Release();
  }
  return {target, folder};
}

// Starts the program, or the one a shortcut names, and returns its process
// and window; prints the path of the program started.
std::pair<PROCESS_INFORMATION, HWND> Start(std::wstring program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring folder;
  if (program.ends_with(L".lnk")) std::tie(program, folder) = ShortcutTarget(program);
  std::wstring command = L"\"" + program + L"\"";
  wchar_t image[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    Check(false, "the program starts", program);
    return {process, nullptr};
  }
  QueryFullProcessImageNameW(process.hProcess, 0, image, &length);
  Check(true, "the program starts", image);
  HWND form = WaitFor([&]() -> HWND {
    HWND window = FindWindowW(nullptr, kCaption);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return window != nullptr && owner == process.dwProcessId && IsWindowVisible(window) ? window
                                                                                       : nullptr;
  });
  Check(form != nullptr, "the window opens");
  if (form != nullptr) {
    SetForegroundWindow(form);
    Check(WaitForForeground(form), "the window becomes active");
  }
  return {process, form};
}

void ExpectExit(PROCESS_INFORMATION& process, const char* how) {
  DWORD status = 1;
  const bool ended = WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(process.hProcess, &status);
  Check(ended && status == 0, std::string(how) + " ends the program with status 0");
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: drive_program PROGRAM.exe|SHORTCUT.lnk\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);  // for shortcuts
  std::wstring program = argv[1];
  if (program.starts_with(L"/")) {  // a Unix path, as Wine's drive Z: shows it
    for (wchar_t& c : program) c = c == L'/' ? L'\\' : c;
    program = L"Z:" + program;
  }

  auto [process, form] = Start(program);
  if (form == nullptr) return 1;
  const std::wstring revPerMin = L"转速（转/分钟）";
  const std::wstring radPerSec = L"转速（弧度/秒）";
  Click(Find(form, L"Button", revPerMin, 0));  // Option1, in 输入速度n1已知
  Click(Find(form, L"Button", radPerSec, 1));  // Option5, in 输出速度n2已知
  HWND inputSpeed = WaitFor([&] { return FieldOf(form, L"输入转速n1（转/分钟）："); });
  HWND outputSpeed = WaitFor([&] { return FieldOf(form, L"输出转速n2（弧度/秒）："); });
  Check(inputSpeed != nullptr && outputSpeed != nullptr, "the options relabel both speed fields");
  Click(inputSpeed);
  Type(L"1500");
  Click(outputSpeed);
  Type(L"100");
  ExpectBox(form, L"Result！", L"传动比为： 1.570796");

  Click(outputSpeed);
  Key(VK_END);
  for (int i = 0; i < 3; ++i) Key(VK_BACK);
  Type(L"0");
  ExpectBox(form, L"Error！", L"输出速度为零，无法计算传动比！请检查输出速度的数值。");
  Check(IsWindowVisible(form) != FALSE, "the window stays after the error");
  Check(WaitForForeground(form), "the window is active again");
  Key(VK_F4, {VK_MENU});
  ExpectExit(process, "Alt+F4");

  auto [second, secondForm] = Start(program);
  if (secondForm == nullptr) return 1;
  Click(Find(secondForm, L"Button", L"退 出"));
  ExpectExit(second, "退 出");

  std::printf("%s\n", failures == 0 ? "all checks passed" : "some checks failed");
  return failures == 0 ? 0 : 1;
}
