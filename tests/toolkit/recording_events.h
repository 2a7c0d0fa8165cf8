#pragma once
// Handlers that record the events a binding delivers, for the tests of every
// binding, and the tests' describer for the general error handling.

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "calc/ratio_calculation.h"
#include "toolkit/window_toolkit.h"

namespace toolkit_test {

// What the recording handlers saw, and what they do besides recording.
struct EventLog {
  // One entry an event: "Option2_Click", "Form_QueryUnload:Code", ...; tests
  // may add their own entries.
  std::vector<std::string> entries;
  // Run after recording the event of that name ("Form_QueryUnload" for both
  // reasons): the body of a handler in a test.
  std::map<std::string, std::function<void()>> on;
  // What Form_QueryUnload sets its cancel flag to.
  bool cancelUnload = false;
};

class RecordingEvents final : public toolkit::WindowEvents {
 public:
  explicit RecordingEvents(EventLog& log) : log_(log) {}

  void Form_Load() override { Record("Form_Load", "Form_Load"); }
  void Form_QueryUnload(bool& cancel, toolkit::CloseReason reason) override;
  void Option1_Click() override { Record("Option1_Click", "Option1_Click"); }
  void Option2_Click() override { Record("Option2_Click", "Option2_Click"); }
  void Option3_Click() override { Record("Option3_Click", "Option3_Click"); }
  void Option4_Click() override { Record("Option4_Click", "Option4_Click"); }
  void Option5_Click() override { Record("Option5_Click", "Option5_Click"); }
  void Option6_Click() override { Record("Option6_Click", "Option6_Click"); }
  void Command1_Click() override { Record("Command1_Click", "Command1_Click"); }
  void Command2_Click() override { Record("Command2_Click", "Command2_Click"); }

 private:
  void Record(const std::string& entry, const std::string& name);
  EventLog& log_;
};

// The tests' describer for the general error handling: title "Failure seen",
// prompt "toolkit failure: <what>" for a ToolkitFailure, "failure: <what>"
// for another std::exception, "unknown failure" for anything else.
calc::RatioOutcome DescribeForTest(std::exception_ptr failure);

}  // namespace toolkit_test
