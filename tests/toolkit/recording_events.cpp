#include "recording_events.h"

namespace toolkit_test {

void RecordingEvents::Form_QueryUnload(bool& cancel, toolkit::CloseReason reason) {
  const char* reasons[] = {"ControlMenu", "Code", "Session"};
  cancel = log_.cancelUnload;
  Record(std::string("Form_QueryUnload:") + reasons[static_cast<int>(reason)], "Form_QueryUnload");
}

void RecordingEvents::Record(const std::string& entry, const std::string& name) {
  log_.entries.push_back(entry);
  if (const auto action = log_.on.find(name); action != log_.on.end()) action->second();
}

calc::RatioOutcome DescribeForTest(std::exception_ptr failure) {
  std::string prompt;
  try {
    std::rethrow_exception(failure);
  } catch (const toolkit::ToolkitFailure& toolkitFailure) {
    prompt = std::string("toolkit failure: ") + toolkitFailure.what();
  } catch (const std::exception& other) {
    prompt = std::string("failure: ") + other.what();
  } catch (...) {
    prompt = "unknown failure";
  }
  return {"Failure seen", prompt, calc::MessageIcon::Critical};
}

}  // namespace toolkit_test
