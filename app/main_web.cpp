// The program's entry in the browser: the page has no command line.
#include "toolkit/program.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

int main() {
  return toolkit::RunWindow("transmission-ratio", ui::kForm2Layout, ui::MakeForm2,
                            ui::DescribeFailure);
}
