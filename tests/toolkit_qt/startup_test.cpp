// Start-up and the end of the run: RunEventLoop's order of events and exit
// status, and RunWindow's refusal to start without a display.

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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
  EXPECT_EQ(toolkit::qt::RunEventLoop(ui::kForm2Layout, RecordingFactory(running), DescribeForTest),
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
  EXPECT_EQ(toolkit::qt::RunEventLoop(ui::kForm2Layout, RecordingFactory(running), DescribeForTest),
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
  EXPECT_EQ(toolkit::qt::RunEventLoop(ui::kForm2Layout, RecordingFactory(running), DescribeForTest),
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

// An X server's socket in Linux's abstract namespace, listening as long as
// it lives: "/tmp/.X11-unix/X<number>".
class ListeningDisplay {
 public:
  explicit ListeningDisplay(int number) : socket_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    listening_ = socket_ >= 0 &&
                 ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
                 ::listen(socket_, 1) == 0;
  }
  ~ListeningDisplay() { ::close(socket_); }
  bool listening() const { return listening_; }

 private:
  int socket_;
  bool listening_ = false;
};

TEST_F(QtWindowTest, MissingDisplayIsNamedInOneLine) {
  const ListeningDisplay server(4242);
  ASSERT_TRUE(server.listening());
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
      {"a local X server", nullptr, ":4242", nullptr, nullptr},
      {"a local X server's screen", nullptr, ":4242.0", nullptr, nullptr},
      {"a local display nobody serves", nullptr, ":4243", nullptr,
       "no X server answers on display :4243"},
      {"the same, by its unix name", nullptr, "unix:4243.0", nullptr,
       "no X server answers on display unix:4243.0"},
      {"a display on another host", nullptr, "buildhost:0", nullptr, nullptr},
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
    ASSERT_EQ(message.has_value(), environment.missing != nullptr);
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
