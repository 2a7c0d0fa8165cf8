// Start-up and the end of the run: RunQtWindow's order of events and exit
// status, and RunWindow's refusal to start without a display.

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "window_fixture.h"
#include "toolkit/qt/application.h"
#include "toolkit/qt/display_check.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

namespace toolkit_qt_test {
namespace {

using toolkit::Control;
using Entries = std::vector<std::string>;

void Click(QWidget& form, Control control) {
  QTest::mouseClick(&FindControl(form, control), Qt::LeftButton);
}

TEST_F(QtWindowTest, Command2UnloadEndsTheEventLoopWithStatus0) {
  toolkit::qt::QtWindow* running = nullptr;
  events.on["Form_Load"] = [&] {
    events.entries.push_back(running->Widget().isVisible() ? "shown" : "not shown yet");
    QTimer::singleShot(0, [&] { Click(running->Widget(), Control::Command2); });
  };
  events.on["Form_QueryUnload"] = [&] { running->UnloadWindow(toolkit::Window::Form2); };
  events.on["Command2_Click"] = [&] {
    running->UnloadWindow(toolkit::Window::Form2);
    events.entries.push_back(running->Widget().isVisible() ? "still shown" : "closed");
  };
  EXPECT_EQ(RunQtWindow(RecordingFactory(running), DescribeForTest),
            0);
  EXPECT_EQ(events.entries, (Entries{"Form_Load", "not shown yet", "Command2_Click",
                                     "Form_QueryUnload:Code", "closed"}));
}

TEST_F(QtWindowTest, CloseBoxEndsTheEventLoopWithStatus0) {
  toolkit::qt::QtWindow* running = nullptr;
  events.on["Form_Load"] = [&] {
    QTimer::singleShot(0, [&] {
      const QPoint centre = running->Widget().screen()->availableGeometry().center();
      const QPoint shown = running->Widget().frameGeometry().center();
      events.entries.push_back((shown - centre).manhattanLength() <= 2 ? "centred" : "off centre");
      running->Widget().windowHandle()->close();
    });
  };
  EXPECT_EQ(RunQtWindow(RecordingFactory(running), DescribeForTest),
            0);
  EXPECT_EQ(events.entries, (Entries{"Form_Load", "centred", "Form_QueryUnload:ControlMenu"}));
  const QList<QSize> iconSizes = QApplication::windowIcon().availableSizes();
  for (const int side : {16, 32, 48}) {
    EXPECT_TRUE(iconSizes.contains(QSize(side, side))) << "the program's icon at " << side;
  }
}

TEST_F(QtWindowTest, UnloadDuringFormLoadEndsWithoutShowing) {
  toolkit::qt::QtWindow* running = nullptr;
  events.on["Form_Load"] = [&] { running->UnloadWindow(toolkit::Window::Form2); };
  EXPECT_EQ(RunQtWindow(RecordingFactory(running), DescribeForTest),
            0);
  EXPECT_EQ(events.entries, (Entries{"Form_Load", "Form_QueryUnload:Code"}));
}

// Sets or unsets environment variables for one scope, then restores them.
class ScopedEnvironment {
 public:
  void Set(const char* name, const char* value) {
    if (const char* old = std::getenv(name)) {
      saved_.push_back({name, std::string(old)});
    } else {
      saved_.push_back({name, std::nullopt});
    }
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->value) {
        setenv(it->name, it->value->c_str(), 1);
      } else {
        unsetenv(it->name);
      }
    }
  }

 private:
  struct Saved {
    const char* name;
    std::optional<std::string> value;
  };
  std::vector<Saved> saved_;
};

// An Xvfb of the test's own, on a display number that Xvfb picks, with the
// listening options given; ended when it goes.
class PrivateXServer {
 public:
  explicit PrivateXServer(std::vector<std::string> options) {
    int pipe[2];
    if (::pipe(pipe) != 0) return;
    options.insert(options.begin(), "Xvfb");
    options.insert(options.end(), {"-displayfd", std::to_string(pipe[1])});
    std::vector<char*> argv;
    for (std::string& option : options) argv.push_back(option.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(pipe[0]);
      ::execvp("Xvfb", argv.data());
      ::_exit(127);
    }
    ::close(pipe[1]);
    // The number and a line feed, once the server listens.
    std::string line;
    for (char c; pid_ > 0 && ::read(pipe[0], &c, 1) == 1 && c != '\n';) line.push_back(c);
    if (!line.empty()) display_ = std::stoi(line);
    ::close(pipe[0]);
  }
  ~PrivateXServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  // The display number, or -1 when the server did not start.
  int display() const { return display_; }

 private:
  pid_t pid_ = -1;
  int display_ = -1;
};

TEST_F(QtWindowTest, MissingDisplayIsNamedInOneLine) {
  // -noreset: a server that resets as its last client leaves would refuse the
  // next check for a moment.
  const PrivateXServer local({"-noreset", "-nolisten", "tcp"});
  const PrivateXServer tcpOnly(
      {"-noreset", "-listen", "tcp", "-nolisten", "unix", "-nolisten", "local"});
  ASSERT_GE(local.display(), 0) << "Xvfb did not start";
  ASSERT_GE(tcpOnly.display(), 0) << "Xvfb did not start";
  const std::string localDisplay = ":" + std::to_string(local.display());
  const std::string tcpDisplay = ":" + std::to_string(tcpOnly.display());
  const std::string localScreen = localDisplay + ".0";
  const std::string tcpByHost = "localhost" + tcpDisplay;
  struct Environment {
    const char* name;
    const char* platform;
    const char* display;
    const char* wayland;
    const char* missing;  // what the line says, or nullptr for no line
  };
  const Environment environments[] = {
      {"nothing set", nullptr, nullptr, nullptr, "no display"},
      {"all set but empty", "", "", "", "no display"},
      {"a local X server", nullptr, localDisplay.c_str(), nullptr, nullptr},
      {"a local X server's screen", nullptr, localScreen.c_str(), nullptr, nullptr},
      {"an X server on TCP only", nullptr, tcpDisplay.c_str(), nullptr, nullptr},
      {"the same by host name", nullptr, tcpByHost.c_str(), nullptr, nullptr},
      {"a local display nobody serves", nullptr, ":4243", nullptr,
       "no X server answers on display :4243"},
      {"the same, by its unix name", nullptr, "unix:4243.0", nullptr,
       "no X server answers on display unix:4243.0"},
      {"the same, on TCP", nullptr, "localhost:4243", nullptr,
       "no X server answers on display localhost:4243"},
      {"a Wayland display", nullptr, ":4243", "wayland-0", nullptr},
      {"a Qt platform", "offscreen", ":4243", nullptr, nullptr},
  };
  for (const Environment& environment : environments) {
    SCOPED_TRACE(environment.name);
    ScopedEnvironment scoped;
    scoped.Set("QT_QPA_PLATFORM", environment.platform);
    scoped.Set("DISPLAY", environment.display);
    scoped.Set("WAYLAND_DISPLAY", environment.wayland);
    const std::optional<std::string> message = toolkit::qt::MissingDisplayMessage("bin/prog");
    ASSERT_EQ(message.has_value(), environment.missing != nullptr) << message.value_or("");
    if (message) {
      EXPECT_NE(message->find(environment.missing), std::string::npos) << *message;
      EXPECT_NE(message->find("xvfb-run -a bin/prog"), std::string::npos) << *message;
      EXPECT_EQ(message->find('\n'), std::string::npos);
    }
  }
}

TEST_F(QtWindowTest, RunWindowWithoutDisplayPrintsOneLineAndReturns1) {
  ScopedEnvironment scoped;
  scoped.Set("QT_QPA_PLATFORM", nullptr);
  scoped.Set("DISPLAY", nullptr);
  scoped.Set("WAYLAND_DISPLAY", nullptr);
  testing::internal::CaptureStderr();
  const int status =
      toolkit::RunWindow("bin/prog", ui::kForm2Layout, ui::MakeForm2, ui::DescribeFailure);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(printed, *toolkit::qt::MissingDisplayMessage("bin/prog") + "\n");
}

}  // namespace
}  // namespace toolkit_qt_test
