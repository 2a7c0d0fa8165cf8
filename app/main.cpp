#include "toolkit/program.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

int main(int argc, char** argv) {
  return toolkit::RunWindow(argc > 0 && argv[0] != nullptr ? argv[0] : "", ui::kForm2Layout,
                            ui::MakeForm2, ui::DescribeFailure);
}
