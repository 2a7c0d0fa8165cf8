// The program's entry in the browser: the page has no command line.
#include <emscripten.h>

#include "calc/ratio_calculation.h"
#include "toolkit/program.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

// Called by the page once the program has taken the window over and the next
// frame is drawn. The browser
// compiles the program's WebAssembly a function at a time, on its first
// call; a calculation made now, while the user reads the window, takes that
// compilation off the first press of 确 定.
extern "C" EMSCRIPTEN_KEEPALIVE void tr_warm_up() {
  try {
    (void)calc::CalculateRatio({calc::SpeedKind::LinearSpeed, calc::SpeedKind::RadPerSec,
                                "１ 500.5", "100", "3", ""});
  } catch (...) {
    // Nothing was to be shown.
  }
}

int main() {
  return toolkit::RunWindow("transmission-ratio", ui::kForm2Layout, ui::MakeForm2,
                            ui::DescribeFailure);
}
