#pragma once
// The one fixture of the Qt binding's tests: the window of kForm2Layout with
// recording handlers, on the offscreen platform, under a watchdog.
//
// The watchdog is a QTimer that runs whenever an event loop does (a message
// box's own loop, or the program's): each modal box that opens goes to the
// next inspector queued with ExpectBox; a box nobody expected fails the test
// and is closed; a test running past its time limit fails and has its event
// loops ended, so that nothing hangs.

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/qt/application.h"
#include "toolkit/qt/qt_window.h"
#include "toolkit/window_toolkit.h"

class QFont;
class QMessageBox;

namespace toolkit_qt_test {

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

// The characters of `text` that the font `font` resolves to cannot draw, as
// "U+XXXX" each; empty when it draws them all.
std::vector<std::string> MissingGlyphs(const QFont& font, const QString& text);

// The control of `form` named ControlName(control); throws when none is.
template <class Widget = QWidget>
Widget& FindControl(QWidget& form, toolkit::Control control) {
  const auto name = toolkit::ControlName(control);
  auto* widget = form.findChild<Widget*>(QString::fromUtf8(name.data(), name.size()));
  if (widget == nullptr) throw std::runtime_error("no control named " + std::string(name));
  return *widget;
}

class QtWindowTest : public ::testing::Test {
 protected:
  QtWindowTest();
  void TearDown() override;

  // The window of kForm2Layout with handlers recording into `events`, opened
  // and made the active window on first use.
  toolkit::qt::QtWindow& Window();
  QWidget& Form() { return Window().Widget(); }
  template <class Widget = QWidget>
  Widget& Find(toolkit::Control control) {
    return FindControl<Widget>(Form(), control);
  }
  // Handlers for RunEventLoop recording into `events`; `running` is set to
  // their window when they are made.
  toolkit::HandlerFactory RecordingFactory(toolkit::qt::QtWindow*& running);

  // The next modal box to open goes to `inspect`, which must close it.
  void ExpectBox(std::function<void(QMessageBox&)> inspect);
  std::size_t BoxesStillExpected() const { return expectedBoxes_.size(); }

  EventLog events;

 private:
  void Watch();

  std::unique_ptr<toolkit::qt::QtWindow> window_;
  std::unique_ptr<RecordingEvents> handlers_;
  QTimer watchdog_;
  QElapsedTimer clock_;
  std::deque<std::function<void(QMessageBox&)>> expectedBoxes_;
  bool inspecting_ = false;
};

}  // namespace toolkit_qt_test
