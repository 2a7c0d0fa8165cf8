#include "window_fixture.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>

#include <cstdio>

#include "toolkit/bound_window.h"
#include "ui/form2_layout.h"

namespace toolkit_qt_test {
namespace {

constexpr int kWatchIntervalMs = 10;
constexpr int kHungStatus = 99;  // what an event loop ended by the watchdog returns

std::string Describe(const QMessageBox& box) {
  return "\"" + box.windowTitle().toStdString() + "\": \"" + box.text().toStdString() + "\"";
}

}  // namespace

std::vector<std::string> MissingGlyphs(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  std::vector<std::string> missing;
  for (const char32_t character : text.toUcs4()) {
    if (!metrics.inFontUcs4(character)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
      missing.emplace_back(code);
    }
  }
  return missing;
}

int RunQtWindow(const toolkit::HandlerFactory& makeHandlers, toolkit::FailureDescriber describe) {
  return toolkit::RunBoundWindow("transmission-ratio",
      [describe] { return std::make_unique<toolkit::qt::QtWindow>(ui::kForm2Layout, describe); },
      makeHandlers);
}

QtWindowTest::QtWindowTest()
    : watchdog_({
          []() -> std::optional<QMessageBox*> {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return std::nullopt;
            return box;
          },
          [](QMessageBox* box) { return Describe(*box); },
          [](QMessageBox* box) { box->reject(); },
          [](QMessageBox* box) { return box->isVisible(); },
          [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            QCoreApplication::exit(kHungStatus);
          },
      }) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { watchdog_.Watch(); });
  timer_.start(kWatchIntervalMs);
}

void QtWindowTest::TearDown() {
  timer_.stop();
  EXPECT_EQ(watchdog_.StillExpected(), 0u) << "an expected message box never opened";
  window_.reset();
  handlers_.reset();
}

toolkit::qt::QtWindow& QtWindowTest::Window() {
  if (window_ == nullptr) {
    window_ = std::make_unique<toolkit::qt::QtWindow>(ui::kForm2Layout, DescribeForTest);
    handlers_ = std::make_unique<RecordingEvents>(events);
    window_->Open(*handlers_);
    window_->Widget().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window_->Widget()));
  }
  return *window_;
}

toolkit::HandlerFactory QtWindowTest::RecordingFactory(toolkit::qt::QtWindow*& running) {
  return [this, &running](toolkit::WindowToolkit& window) {
    running = &dynamic_cast<toolkit::qt::QtWindow&>(window);
    return std::make_unique<RecordingEvents>(events);
  };
}

void QtWindowTest::ExpectBox(std::function<void(QMessageBox&)> inspect) {
  watchdog_.Expect([inspect = std::move(inspect)](QMessageBox* box) { inspect(*box); });
}

}  // namespace toolkit_qt_test
