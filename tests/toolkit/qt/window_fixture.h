#pragma once
// The one fixture of the Qt binding's tests: the window of kForm2Layout with
// recording handlers, on the offscreen platform, under a watchdog.
//
// The watchdog (box_watchdog.h) runs on a QTimer, which runs whenever an
// event loop does (a message box's own loop, or the program's).

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

#include "box_watchdog.h"
#include "recording_events.h"
#include "toolkit/qt/application.h"
#include "toolkit/qt/qt_window.h"
#include "toolkit/window_toolkit.h"

class QFont;
class QMessageBox;

namespace toolkit_qt_test {

using toolkit_test::DescribeForTest;
using toolkit_test::EventLog;
using toolkit_test::RecordingEvents;

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

// The program's start-up on a Qt window of kForm2Layout, once the
// QApplication exists: its exit status.
int RunQtWindow(const toolkit::HandlerFactory& makeHandlers, toolkit::FailureDescriber describe);

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
  // Handlers for RunQtWindow recording into `events`; `running` is set to
  // their window when they are made.
  toolkit::HandlerFactory RecordingFactory(toolkit::qt::QtWindow*& running);

  // The next modal box to open goes to `inspect`, which must close it.
  void ExpectBox(std::function<void(QMessageBox&)> inspect);
  std::size_t BoxesStillExpected() const { return watchdog_.StillExpected(); }
  void RestartTimeLimit() { watchdog_.Restart(); }

  EventLog events;

 private:
  std::unique_ptr<toolkit::qt::QtWindow> window_;
  std::unique_ptr<RecordingEvents> handlers_;
  QTimer timer_;
  toolkit_test::BoxWatchdog<QMessageBox*> watchdog_;
};

}  // namespace toolkit_qt_test
