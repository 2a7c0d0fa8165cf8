#include "toolkit/qt/application.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

int main(int argc, char** argv) {
  return toolkit::qt::RunWindow(argc, argv, ui::kForm2Layout, ui::MakeForm2, ui::DescribeFailure);
}
