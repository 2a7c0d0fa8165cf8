#include "toolkit/win32/dpi_functions.h"

namespace toolkit::win32 {
namespace {

// The DPI of the screen as Windows 7 knows it: one for every monitor.
int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// A value Windows gives at the screen's DPI, at `dpi`.
int FromScreenDpi(int value, int dpi) {
  const int screen = ScreenDpi();
  return dpi == screen ? value : MulDiv(value, dpi, screen);
}

template <class Function>
Function Find(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // The cast from FARPROC to the function's own type is how GetProcAddress is used.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

const DpiFunctions& DpiFunctions::OfThisWindows() {
  static const DpiFunctions functions = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    // Only from System32, never from the program's folder; kept loaded.
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    DpiFunctions found;
    found.getDpiForMonitor = Find<GetDpiForMonitorFunction>(shcore, "GetDpiForMonitor");
    found.adjustWindowRectExForDpi =
        Find<AdjustWindowRectExForDpiFunction>(user32, "AdjustWindowRectExForDpi");
    found.getSystemMetricsForDpi =
        Find<GetSystemMetricsForDpiFunction>(user32, "GetSystemMetricsForDpi");
    found.systemParametersInfoForDpi =
        Find<SystemParametersInfoForDpiFunction>(user32, "SystemParametersInfoForDpi");
    return found;
  }();
  return functions;
}

int DpiFunctions::MonitorDpi(HMONITOR monitor) const {
  UINT x = 0;
  UINT y = 0;
  if (getDpiForMonitor != nullptr && monitor != nullptr &&
      SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0) {
    return static_cast<int>(y);
  }
  return ScreenDpi();
}

bool DpiFunctions::AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi) const {
  if (adjustWindowRectExForDpi != nullptr) {
    return adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
  }
  // The frame at the screen's DPI, its parts scaled to `dpi`.
  RECT frame{0, 0, 0, 0};
  if (!AdjustWindowRectEx(&frame, style, FALSE, exStyle)) return false;
  rect.left += FromScreenDpi(frame.left, dpi);
  rect.top += FromScreenDpi(frame.top, dpi);
  rect.right += FromScreenDpi(frame.right, dpi);
  rect.bottom += FromScreenDpi(frame.bottom, dpi);
  return true;
}

int DpiFunctions::SystemMetric(int index, int dpi) const {
  if (getSystemMetricsForDpi != nullptr) return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return FromScreenDpi(GetSystemMetrics(index), dpi);
}

bool DpiFunctions::MessageFont(LOGFONTW& font, int dpi) const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (systemParametersInfoForDpi != nullptr) {
    if (!systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0,
                                    static_cast<UINT>(dpi))) {
      return false;
    }
  } else {
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
    metrics.lfMessageFont.lfHeight = FromScreenDpi(metrics.lfMessageFont.lfHeight, dpi);
  }
  font = metrics.lfMessageFont;
  return true;
}

}  // namespace toolkit::win32
