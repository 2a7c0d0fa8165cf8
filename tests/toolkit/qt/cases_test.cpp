// The cases that every binding runs (window_cases.h), on real widgets, driven
// with QTest's mouse and keyboard as a user does.

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

#include <map>
#include <memory>

#include "window_cases.h"
#include "window_fixture.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

namespace toolkit_qt_test {
namespace {

using toolkit::Control;
using window_cases::Step;

// Clicks an option on its round indicator, any other control in its middle.
void ClickOn(QWidget& widget) {
  QPoint where = widget.rect().center();
  if (auto* option = qobject_cast<QRadioButton*>(&widget)) {
    QStyleOptionButton style;
    style.initFrom(option);
    where = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option).center();
  }
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, where);
}

// The table's key names.
const std::map<std::string_view, std::pair<Qt::Key, Qt::KeyboardModifiers>> kKeys = {
    {"Enter", {Qt::Key_Return, Qt::NoModifier}},   {"KeypadEnter", {Qt::Key_Enter, Qt::KeypadModifier}},
    {"Escape", {Qt::Key_Escape, Qt::NoModifier}},  {"Space", {Qt::Key_Space, Qt::NoModifier}},
    {"Tab", {Qt::Key_Tab, Qt::NoModifier}},        {"Shift+Tab", {Qt::Key_Tab, Qt::ShiftModifier}},
    {"ArrowDown", {Qt::Key_Down, Qt::NoModifier}}, {"ArrowUp", {Qt::Key_Up, Qt::NoModifier}},
    {"Control+z", {Qt::Key_Z, Qt::ControlModifier}},
    {"Control+v", {Qt::Key_V, Qt::ControlModifier}},
    {"Shift+Insert", {Qt::Key_Insert, Qt::ShiftModifier}},
};

class QtDriver final : public window_cases::WindowDriver {
 public:
  QtDriver(std::function<void(std::function<void(QMessageBox&)>)> expectBox,
           std::function<std::size_t()> stillExpected, std::function<void()> restartTimeLimit)
      : expectBox_(std::move(expectBox)), stillExpected_(std::move(stillExpected)),
        restartTimeLimit_(std::move(restartTimeLimit)) {}

  // Offscreen, no window manager draws a frame to press Alt+F4 in; Qt's
  // fields take Ctrl+Shift+Insert for no paste.
  std::set<std::string_view> Lacks() const override {
    return {"Alt+F4", "page", "Control+Shift+Insert"};
  }

  void Open() override {
    restartTimeLimit_();
    window_.reset();
    queryUnloads_ = 0;
    window_ = std::make_unique<toolkit::qt::QtWindow>(ui::kForm2Layout, ui::DescribeFailure);
    handlers_ = window_cases::CountingForm2(*window_, queryUnloads_);
    window_->Open(*handlers_);
    window_->Widget().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window_->Widget()));
  }

  void Do(const Step& step) override {
    // The window is active again once a box has closed, as a user finds it.
    if (!window_->IsUnloaded() && QApplication::activeModalWidget() == nullptr &&
        !window_->Widget().isActiveWindow()) {
      window_->Widget().activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(&window_->Widget()));
    }
    switch (step.what) {
      case Step::Do::Click:
        ClickOn(Find(step.control));
        break;
      case Step::Do::Type: {
        ClickOn(Find(step.control));
        ASSERT_EQ(QApplication::focusWidget(), &Find(step.control));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(step.text.data(), step.text.size()));
        break;
      }
      case Step::Do::Key: {
        const auto& [key, modifiers] = kKeys.at(step.text);
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : &window_->Widget(), key, modifiers);
        break;
      }
      case Step::Do::Focus:
        Find(step.control).setFocus(Qt::TabFocusReason);
        break;
      case Step::Do::Paste: {
        auto& field = dynamic_cast<QLineEdit&>(Find(step.control));
        const std::string text = window_cases::Expand(step.text);
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
        field.setFocus(Qt::OtherFocusReason);
        field.setCursorPosition(step.caret < 0 ? static_cast<int>(field.text().size()) : step.caret);
        if (step.how == "menu") {
          field.paste();
        } else {
          const auto& [key, modifiers] = kKeys.at(step.how);
          QTest::keyClick(&field, key, modifiers);
        }
        break;
      }
      case Step::Do::CloseBox:
      case Step::Do::TaskbarClose:  // a close request from outside, as the close box's
        window_->Widget().windowHandle()->close();
        break;
      case Step::Do::Focused:
      case Step::Do::Shows:
      case Step::Do::Box:
        break;
    }
  }

  void ExpectBox(std::function<void(const SeenBox&)> inspect) override {
    expectBox_([this, inspect = std::move(inspect)](QMessageBox& box) {
      box_ = &box;
      inspect({box.windowTitle().toStdString(), box.text().toStdString()});
      box_ = nullptr;
    });
  }

  void CloseBoxByEnter() override { QTest::keyClick(box_, Qt::Key_Return); }

  std::optional<Control> FocusedControl() override {
    for (const toolkit::ControlLayout& row : ui::kForm2Controls) {
      if (window_->Widget().focusWidget() == &Find(row.control)) return row.control;
    }
    return std::nullopt;
  }

  std::string Show(Control control) override {
    QWidget& widget = Find(control);
    if (auto* option = qobject_cast<QRadioButton*>(&widget)) return option->isChecked() ? "selected" : "";
    if (auto* label = qobject_cast<QLabel*>(&widget)) return label->text().toStdString();
    return dynamic_cast<QLineEdit&>(widget).text().toStdString() + (widget.isEnabled() ? "" : " (disabled)");
  }

  bool Closed() override { return window_->IsUnloaded() && !window_->Widget().isVisible(); }
  int QueryUnloads() override { return queryUnloads_; }
  bool BoxesStillExpected() override { return stillExpected_() > 0; }

 private:
  QWidget& Find(Control control) { return FindControl(window_->Widget(), control); }

  std::function<void(std::function<void(QMessageBox&)>)> expectBox_;
  std::function<std::size_t()> stillExpected_;
  std::function<void()> restartTimeLimit_;
  std::unique_ptr<toolkit::qt::QtWindow> window_;
  std::unique_ptr<toolkit::WindowEvents> handlers_;
  int queryUnloads_ = 0;
  QMessageBox* box_ = nullptr;
};

TEST_F(QtWindowTest, TheCasesOfEveryBinding) {
  QtDriver driver([this](auto inspect) { ExpectBox(std::move(inspect)); },
                  [this] { return BoxesStillExpected(); }, [this] { RestartTimeLimit(); });
  window_cases::RunCases(driver);
}

TEST_F(QtWindowTest, EveryControlStandsWhereItsLayoutPutsIt) {
  window_cases::CheckControls([this](Control control) {
    QWidget& widget = Find(control);
    const QRect rect(widget.mapTo(&Form(), QPoint(0, 0)), widget.size());
    std::string caption;
    if (auto* frame = qobject_cast<QGroupBox*>(&widget)) caption = frame->title().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) caption = button->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(&widget)) caption = label->text().toStdString();
    if (auto* field = qobject_cast<QLineEdit*>(&widget)) caption = field->text().toStdString();
    std::optional<Control> names;
    if (auto* label = qobject_cast<QLabel*>(&widget); label != nullptr && label->buddy() != nullptr) {
      for (const toolkit::ControlLayout& row : ui::kForm2Controls) {
        if (label->buddy() == &Find(row.control)) names = row.control;
      }
    }
    return window_cases::ControlView{rect.left(), rect.top(), rect.width(), rect.height(), caption,
                                     widget.cursor().shape() == Qt::PointingHandCursor, names};
  });
}

}  // namespace
}  // namespace toolkit_qt_test
