// The program's entry on Windows, built with -municode: no argument is read.
#include "toolkit/program.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

int wmain(int /*argc*/, wchar_t** /*argv*/) {
  return toolkit::RunWindow("transmission-ratio.exe", ui::kForm2Layout, ui::MakeForm2,
                            ui::DescribeFailure);
}
