#pragma once
// The DPI functions that Windows 8.1 and Windows 10 1607 added, looked up at
// run time so that one program runs on Windows 7 SP1 to 11; each operation
// falls back to what Windows 7 has where its function is missing, and a
// missing function is never called.
//
//   Windows 10 1607 and later: every function; Windows 8.1: GetDpiForMonitor
//   only; Windows 7: none, and DpiFunctions{} is such a table.
//
// The fallbacks give the values at the screen's DPI (GetDeviceCaps
// LOGPIXELSY), scaled to the DPI asked for where it differs.

#include <windows.h>

namespace toolkit::win32 {

class DpiFunctions {
 public:
  // GetDpiForMonitor's MONITOR_DPI_TYPE, which the Windows 7 headers hide.
  enum MonitorDpiType { kEffectiveDpi = 0 };

  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, MonitorDpiType, UINT*, UINT*);
  using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
  using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

  GetDpiForMonitorFunction getDpiForMonitor = nullptr;                      // shcore, 8.1
  AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi = nullptr;      // user32, 10 1607
  GetSystemMetricsForDpiFunction getSystemMetricsForDpi = nullptr;          // user32, 10 1607
  SystemParametersInfoForDpiFunction systemParametersInfoForDpi = nullptr;  // user32, 10 1607

  // The functions of the Windows this runs on, looked up once.
  static const DpiFunctions& OfThisWindows();

  // The monitor's effective DPI; the screen's where GetDpiForMonitor is
  // missing or fails.
  int MonitorDpi(HMONITOR monitor) const;
  // `rect`, a client area, becomes the window rectangle of a window with
  // these styles at `dpi`. False when Windows cannot say.
  bool AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi) const;
  // GetSystemMetrics(index) at `dpi`.
  int SystemMetric(int index, int dpi) const;
  // The desktop's message-box font at `dpi`. False when Windows cannot say.
  bool MessageFont(LOGFONTW& font, int dpi) const;
};

}  // namespace toolkit::win32
