#pragma once
// A WindowToolkit that keeps the controls' state in memory and records every
// call as one line, such as "SetText(Text2, Enabled)". A failure can be
// injected at any call.

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/window_toolkit.h"

namespace ui_test {

class RecordingToolkit final : public toolkit::WindowToolkit {
 public:
  std::vector<std::string> calls;
  std::set<toolkit::Option> selected;
  std::map<toolkit::TextField, std::string> texts;
  std::map<toolkit::TextField, bool> enabled;
  std::map<toolkit::Label, std::string> captions;
  int failAtCall = -1;  // the index of the call that throws, or -1

  bool IsSelected(toolkit::Option option) override {
    Record("IsSelected(" + Name(option) + ")");
    return selected.count(option) != 0;
  }
  void Deselect(toolkit::Option option) override {
    Record("Deselect(" + Name(option) + ")");
    selected.erase(option);
  }
  std::string GetText(toolkit::TextField field) override {
    Record("GetText(" + Name(field) + ")");
    return texts[field];
  }
  void SetText(toolkit::TextField field, std::string_view text) override {
    Record("SetText(" + Name(field) + ", " + std::string(text) + ")");
    texts[field] = text;
  }
  void SetEnabled(toolkit::TextField field, bool on) override {
    Record("SetEnabled(" + Name(field) + ", " + (on ? "true" : "false") + ")");
    enabled[field] = on;
  }
  void SetCaption(toolkit::Label label, std::string_view text) override {
    Record("SetCaption(" + Name(label) + ", " + std::string(text) + ")");
    captions[label] = text;
  }
  void ShowMessage(std::string_view prompt, std::string_view title,
                   calc::MessageIcon icon) override {
    Record("ShowMessage(" + std::string(prompt) + ", " + std::string(title) + ", " +
           std::to_string(static_cast<int>(icon)) + ")");
  }
  void UnloadWindow(toolkit::Window /*window*/) override { Record("UnloadWindow(Form2)"); }

 private:
  template <class Id>
  static std::string Name(Id id) {
    return std::string(toolkit::ControlName(toolkit::AsControl(id)));
  }

  // Records the call, then fails it if it is the chosen one: a failed call
  // is recorded but has no effect.
  void Record(std::string call) {
    calls.push_back(std::move(call));
    if (static_cast<int>(calls.size()) - 1 == failAtCall) {
      throw toolkit::ToolkitFailure("injected failure");
    }
  }
};

}  // namespace ui_test
