// Start-up of two Windows programs side by side, from CreateProcess to the
// moment the program's first top-level window is shown, with the time each
// takes to end after WM_CLOSE not counted. Runs them in turn, the order
// alternating between runs, after one warm-up run each.
//
//   startup_probe_win32.exe RUNS PROGRAM.exe FLOOR.exe
//
// Prints median, min and max of each and the ratio of the medians, and
// whether PROGRAM stays within 1.15x of FLOOR; exits 1 when it does not.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kRatioTarget = 1.15;

// A Unix path, as Wine's drive Z: shows it, or a Windows path as it is.
std::wstring WindowsPath(std::wstring path) {
  if (!path.starts_with(L"/")) return path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return L"Z:" + path;
}

HWND ShownWindowOf(DWORD process) {
  std::pair<DWORD, HWND> search{process, nullptr};
  EnumWindows(
      [](HWND window, LPARAM into) -> BOOL {
        auto& search = *reinterpret_cast<std::pair<DWORD, HWND>*>(into);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search.first || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) {
          return TRUE;
        }
        search.second = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// Milliseconds from CreateProcess to the shown window; -1 when it fails.
double StartOnce(const std::wstring& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + program + L"\"";
  LARGE_INTEGER frequency, started, shown;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return -1;
  }
  HWND window = nullptr;
  // Looked for once a millisecond: every look is a round trip to the
  // wineserver, which the program being timed needs for each window it makes.
  for (const DWORD start = GetTickCount(); window == nullptr && GetTickCount() - start < 30000;) {
    window = ShownWindowOf(process.dwProcessId);
    if (window == nullptr) Sleep(1);
  }
  QueryPerformanceCounter(&shown);
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (window == nullptr) return -1;
  return 1000.0 * static_cast<double>(shown.QuadPart - started.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_probe_win32 RUNS PROGRAM.exe FLOOR.exe\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  const std::wstring programs[2] = {WindowsPath(argv[2]), WindowsPath(argv[3])};
  const char* names[2] = {"transmission-ratio", "bare Win32 window"};
  std::vector<double> samples[2];
  for (int program = 0; program < 2; ++program) StartOnce(programs[program]);  // warm-up
  for (int run = 0; run < runs; ++run) {
    for (int turn = 0; turn < 2; ++turn) {
      const int program = run % 2 == 0 ? turn : 1 - turn;
      const double ms = StartOnce(programs[program]);
      if (ms < 0) {
        std::fprintf(stderr, "%s did not show a window\n", names[program]);
        return 1;
      }
      samples[program].push_back(ms);
    }
  }
  std::printf("%d runs each%26s %8s %8s %8s\n", runs, "", "median", "min", "max");
  for (int program = 0; program < 2; ++program) {
    const auto [low, high] = std::minmax_element(samples[program].begin(), samples[program].end());
    std::printf("  start-up, %-27s %8.1f %8.1f %8.1f  ms\n", names[program],
                Median(samples[program]), *low, *high);
  }
  const double ratio = Median(samples[0]) / Median(samples[1]);
  const bool met = ratio <= kRatioTarget;
  std::printf("%s start-up %.2fx the bare window's (target <= %.2fx)\n", met ? "met   " : "MISSED",
              ratio, kRatioTarget);
  return met ? 0 : 1;
}
