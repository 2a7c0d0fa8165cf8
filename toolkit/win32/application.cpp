// The program's start on Windows: the window, its handlers, the message loop.

#include <windows.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "toolkit/program.h"
#include "toolkit/utf16.h"
#include "toolkit/win32/win32_window.h"

namespace toolkit {

int RunWindow(std::string_view program, const WindowLayout& layout,
              const HandlerFactory& makeHandlers, FailureDescriber describe) {
  try {
    return RunBoundWindow(
        [&] { return std::make_unique<win32::Win32Window>(layout, describe); }, makeHandlers);
  } catch (const std::exception& failure) {
    // A program without a console: the line goes to a box as well.
    const std::string line = std::string(program) + ": cannot open the window: " + failure.what();
    std::fprintf(stderr, "%s\n", line.c_str());
    const std::u16string text = Utf8ToUtf16(line).value_or(u"cannot open the window");
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), nullptr,
                MB_OK | MB_ICONERROR);
    return 1;
  }
}

}  // namespace toolkit
