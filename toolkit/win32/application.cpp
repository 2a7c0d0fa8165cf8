// The program's start on Windows: the window, its handlers, the message loop.

#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/program.h"
#include "toolkit/utf16.h"
#include "toolkit/win32/win32_window.h"

namespace toolkit {

int RunWindow(std::string_view program, const WindowLayout& layout,
              const HandlerFactory& makeHandlers, FailureDescriber describe) {
  // A program without a console: the line goes to a box as well.
  return RunBoundWindow(
      program, [&] { return std::make_unique<win32::Win32Window>(layout, describe); },
      makeHandlers, [](const std::string& line) {
        const std::u16string text = Utf8ToUtf16(line).value_or(u"cannot open the window");
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), nullptr,
                    MB_OK | MB_ICONERROR);
      });
}

}  // namespace toolkit
