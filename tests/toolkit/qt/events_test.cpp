// The WindowToolkit operations and the events on real widgets: selection,
// texts, captions, message boxes, unloading and the general error handling.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/ratio_calculation.h"
#include "calc/arithmetic_failure.h"
#include "window_fixture.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

namespace toolkit_qt_test {
namespace {

using toolkit::Control;
using toolkit::Option;
using toolkit::TextField;
using toolkit::ToolkitFailure;
using Entries = std::vector<std::string>;

constexpr Option kOptions[] = {Option::Option1, Option::Option2, Option::Option3,
                               Option::Option4, Option::Option5, Option::Option6};

void Click(QWidget& widget) { QTest::mouseClick(&widget, Qt::LeftButton); }

// Closes a message box the way a user does.
void PressEnter(QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }

std::set<Control> SelectedOptions(toolkit::qt::QtWindow& window) {
  std::set<Control> selected;
  for (const Option option : kOptions) {
    if (window.IsSelected(option)) selected.insert(toolkit::AsControl(option));
  }
  return selected;
}

TEST_F(QtWindowTest, ArrowKeysInAGroupWithoutSelectionOnlyMoveTheFocus) {
  Find(Control::Option4).setFocus(Qt::OtherFocusReason);
  QTest::keyClick(&Find(Control::Option4), Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), &Find(Control::Option5));
  EXPECT_EQ(events.entries, Entries{"Form_Load"});
  EXPECT_EQ(SelectedOptions(Window()), std::set<Control>{});
}

TEST_F(QtWindowTest, DeselectUnselectsOneOptionSilently) {
  Click(Find(Control::Option2));
  Click(Find(Control::Option5));
  events.entries.clear();

  Window().Deselect(Option::Option2);
  EXPECT_EQ(SelectedOptions(Window()), std::set<Control>{Control::Option5});
  Window().Deselect(Option::Option4);  // not selected: nothing changes
  EXPECT_EQ(SelectedOptions(Window()), std::set<Control>{Control::Option5});
  EXPECT_EQ(events.entries, Entries{});
  EXPECT_TRUE(Find<QRadioButton>(Control::Option2).group()->exclusive());

  // Selecting it again is a change, so it raises its event once more.
  Click(Find(Control::Option2));
  Click(Find(Control::Option3));
  EXPECT_EQ(events.entries, (Entries{"Option2_Click", "Option3_Click"}));
  EXPECT_EQ(SelectedOptions(Window()), (std::set<Control>{Control::Option3, Control::Option5}));
}

TEST_F(QtWindowTest, FieldsHoldExactlyTheTextGiven) {
  struct Text {
    const char* name;
    std::string utf8;
  };
  const Text texts[] = {
      {"empty", ""},
      {"digits", "1500"},
      {"Chinese with full-width colon", "传动比为： 1.570796"},
      {"the closed field's text", "Enabled"},
      {"a leading byte-order mark", "\xEF\xBB\xBF" "12"},
      {"a tab inside", "1\t5"},
      {"40000 characters, no length limit", std::string(40000, '7')},
  };
  for (const Text& text : texts) {
    SCOPED_TRACE(text.name);
    Window().SetText(TextField::Text3, text.utf8);
    EXPECT_EQ(Window().GetText(TextField::Text3), text.utf8);
    EXPECT_EQ(Find<QLineEdit>(Control::Text3).text().toStdString(), text.utf8);
  }
  EXPECT_THROW(Window().SetText(TextField::Text3, "1\xFF"), ToolkitFailure);
}

TEST_F(QtWindowTest, UserTypingReachesGetText) {
  QTest::keyClicks(&Find(Control::Text1), "1500");
  EXPECT_EQ(Window().GetText(TextField::Text1), "1500");
}

TEST_F(QtWindowTest, DisabledFieldKeepsItsTextAndRefusesTyping) {
  Window().SetText(TextField::Text2, "Enabled");
  Window().SetEnabled(TextField::Text2, false);
  auto& field = Find<QLineEdit>(Control::Text2);
  EXPECT_FALSE(field.isEnabled());
  QTest::keyClicks(&field, "99");
  EXPECT_EQ(Window().GetText(TextField::Text2), "Enabled");

  Window().SetEnabled(TextField::Text2, true);
  EXPECT_TRUE(field.isEnabled());
  EXPECT_EQ(Window().GetText(TextField::Text2), "Enabled");
}

TEST_F(QtWindowTest, SetCaptionShowsTheTextAsItIs) {
  Window().SetCaption(toolkit::Label::Label1, "输入转速n1（转/分钟）：");
  EXPECT_EQ(Find<QLabel>(Control::Label1).text(), QString::fromUtf8("输入转速n1（转/分钟）："));
  Window().SetCaption(toolkit::Label::Label4, "<b>v</b>");
  EXPECT_EQ(Find<QLabel>(Control::Label4).text(), QString("<b>v</b>"));
  EXPECT_EQ(Find<QLabel>(Control::Label2).text(), QString::fromUtf8("输出速度v（米/秒）："));
}

TEST_F(QtWindowTest, ShowMessageShowsOneModalBoxThatEveryUsualWayCloses) {
  struct Box {
    const char* name;
    calc::MessageIcon icon;
    QMessageBox::Icon shown;
    std::function<void(QMessageBox&)> close;
  };
  const Box boxes[] = {
      {"Information, closed by Enter", calc::MessageIcon::Information, QMessageBox::Information,
       PressEnter},
      {"Critical, closed by Esc", calc::MessageIcon::Critical, QMessageBox::Critical,
       [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
      {"closed by its close box", calc::MessageIcon::Information, QMessageBox::Information,
       [](QMessageBox& box) { box.windowHandle()->close(); }},
      {"closed by a click on OK", calc::MessageIcon::Critical, QMessageBox::Critical,
       [](QMessageBox& box) { Click(*box.buttons().front()); }},
  };
  for (const Box& expected : boxes) {
    SCOPED_TRACE(expected.name);
    ExpectBox([&](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Result！"));
      EXPECT_EQ(box.text(), QString::fromUtf8("传动比为： 1.570796"));
      EXPECT_EQ(box.icon(), expected.shown);
      EXPECT_EQ(box.buttons().size(), 1);
      EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
      EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
      EXPECT_EQ(QApplication::activeModalWidget(), &box);
      EXPECT_EQ(box.parentWidget(), &Form());
      EXPECT_TRUE(box.textInteractionFlags() & Qt::TextSelectableByMouse);
      EXPECT_EQ(box.textFormat(), Qt::PlainText);
      expected.close(box);
    });
    Window().ShowMessage("传动比为： 1.570796", "Result！", expected.icon);
    EXPECT_EQ(BoxesStillExpected(), 0u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
  EXPECT_EQ(events.entries, Entries{"Form_Load"});
}

TEST_F(QtWindowTest, CtrlCInAMessageBoxCopiesThePrompt) {
  QGuiApplication::clipboard()->setText("before");
  ExpectBox([](QMessageBox& box) {
    // Shortcuts act in the active window; offscreen, a first box may not be yet.
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &box; }));
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("数值输入不完全！"));
    PressEnter(box);
  });
  Window().ShowMessage("数值输入不完全！", "Error！", calc::MessageIcon::Critical);
}

TEST_F(QtWindowTest, QtsOwnStringsAreChineseToo) {
  ExpectBox([](QMessageBox& box) {
    const QList<QAbstractButton*> buttons = box.buttons();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons.front()->text(), QString::fromUtf8("确定"));
    PressEnter(box);
  });
  Window().ShowMessage("传动比为： 2.5", "Result！", calc::MessageIcon::Information);

  const std::unique_ptr<QMenu> menu(Find<QLineEdit>(Control::Text1).createStandardContextMenu());
  QStringList entries;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) entries << action->text().section(u'\t', 0, 0);
  }
  EXPECT_EQ(entries, QStringList({"撤消(&U)", "重做(&R)", "剪切(&T)", "复制(&C)", "粘贴(&P)",
                                  "删除", "全选"}))
      << entries.join(u' ').toStdString();
}

TEST_F(QtWindowTest, UnknownMessageStyleIsAToolkitFailure) {
  EXPECT_THROW(Window().ShowMessage("x", "y", static_cast<calc::MessageIcon>(48)), ToolkitFailure);
}

TEST_F(QtWindowTest, MessageTextsAreDrawnByTheBoxFont) {
  struct Message {
    const char* name;
    calc::RatioOutcome outcome;
  };
  using calc::SpeedKind;
  using Reason = calc::ArithmeticFailure::Reason;
  const auto failure = [](Reason reason, std::optional<calc::SpeedSide> side = std::nullopt) {
    return ui::DescribeFailure(std::make_exception_ptr(calc::ArithmeticFailure(reason, side)));
  };
  const Message messages[] = {
      {"result", calc::CalculateRatio({SpeedKind::RevPerMin, SpeedKind::RadPerSec, "1500", "",
                                       "100", ""})},
      {"no speed kind", calc::CalculateRatio({})},
      {"incomplete input", calc::CalculateRatio({SpeedKind::RevPerMin, SpeedKind::RevPerMin, "",
                                                 "", "600", ""})},
      {"zero output speed", failure(Reason::ZeroOutputSpeed)},
      {"zero input diameter", failure(Reason::ZeroDiameter, calc::SpeedSide::Input)},
      {"zero output diameter", failure(Reason::ZeroDiameter, calc::SpeedSide::Output)},
      {"zero diameter of no side", failure(Reason::ZeroDiameter)},
      {"out of range", failure(Reason::OutOfRange)},
      {"internal error", ui::DescribeFailure(std::make_exception_ptr(std::runtime_error("x")))},
  };
  for (const Message& message : messages) {
    SCOPED_TRACE(message.name);
    ExpectBox([](QMessageBox& box) {
      const QLabel* prompt = nullptr;
      for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text() == box.text()) prompt = label;
      }
      ASSERT_NE(prompt, nullptr);
      EXPECT_EQ(MissingGlyphs(prompt->font(), box.text()), std::vector<std::string>{})
          << "resolved face: " << QFontInfo(prompt->font()).family().toStdString();
      PressEnter(box);
    });
    Window().ShowMessage(message.outcome.prompt, message.outcome.title, message.outcome.icon);
  }
}

// The captions that Form2's own handlers write are drawn by the label font.
TEST_F(QtWindowTest, Form2CaptionsAreDrawnByTheLabelFont) {
  toolkit::qt::QtWindow window(ui::kForm2Layout, DescribeForTest);
  const auto form2 = ui::MakeForm2(window);
  window.Open(*form2);
  std::set<QString> captions;
  for (const Option option : kOptions) {
    Click(FindControl(window.Widget(), toolkit::AsControl(option)));
    for (const QLabel* label : window.Widget().findChildren<QLabel*>()) {
      captions.insert(label->text());
    }
  }
  EXPECT_GE(captions.size(), 8u);  // the four layout captions and four rotational ones
  const QFont labelFont = FindControl(window.Widget(), Control::Label1).font();
  for (const QString& caption : captions) {
    EXPECT_EQ(MissingGlyphs(labelFont, caption), std::vector<std::string>{})
        << caption.toStdString();
  }
}

TEST_F(QtWindowTest, UnloadAsksOnceAndClosesAfterwardsTheWindowStaysUsable) {
  events.on["Form_QueryUnload"] = [this] {
    Window().UnloadWindow(toolkit::Window::Form2);  // asked again while closing
  };
  events.on["Command2_Click"] = [this] {
    Window().UnloadWindow(toolkit::Window::Form2);
    Window().SetText(TextField::Text1, "after unload");
    events.entries.push_back("Text1=" + Window().GetText(TextField::Text1));
  };
  Click(Find(Control::Command2));
  EXPECT_EQ(events.entries, (Entries{"Form_Load", "Command2_Click", "Form_QueryUnload:Code",
                                     "Text1=after unload"}));
  EXPECT_TRUE(Window().IsUnloaded());
  EXPECT_FALSE(Form().isVisible());

  Window().UnloadWindow(toolkit::Window::Form2);  // once unloaded, nothing more happens
  EXPECT_EQ(events.entries.size(), 4u);
}

TEST_F(QtWindowTest, CloseRequestsAskOnceAndACancelKeepsTheWindow) {
  struct Request {
    const char* name;
    std::function<void()> ask;
    const char* raised;
  };
  const Request requests[] = {
      {"the close box", [this] { Form().windowHandle()->close(); },
       "Form_QueryUnload:ControlMenu"},
      {"UnloadWindow", [this] { Window().UnloadWindow(toolkit::Window::Form2); },
       "Form_QueryUnload:Code"},
  };
  Window();
  events.cancelUnload = true;
  for (const Request& request : requests) {
    SCOPED_TRACE(request.name);
    events.entries.clear();
    request.ask();
    EXPECT_EQ(events.entries, Entries{request.raised});
    EXPECT_TRUE(Form().isVisible());
    EXPECT_FALSE(Window().IsUnloaded());
  }
  events.cancelUnload = false;
  events.entries.clear();
  Form().windowHandle()->close();
  EXPECT_EQ(events.entries, Entries{"Form_QueryUnload:ControlMenu"});
  EXPECT_TRUE(Window().IsUnloaded());
}

TEST_F(QtWindowTest, AFailingHandlerIsReportedAndTheWindowGoesOn) {
  struct Failure {
    const char* name;
    std::function<void(toolkit::qt::QtWindow&)> rest;  // after SetText(Text1, "partial")
    std::string prompt;
  };
  const Failure failures[] = {
      {"an exception of the handler",
       [](toolkit::qt::QtWindow&) { throw std::runtime_error("boom"); }, "failure: boom"},
      {"a failed toolkit operation",
       [](toolkit::qt::QtWindow& window) { window.SetText(TextField::Text3, "\xC3"); },
       "toolkit failure: a text for the window is not valid UTF-8"},
      {"something that is no std::exception", [](toolkit::qt::QtWindow&) { throw 42; },
       "unknown failure"},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.name);
    Window().SetText(TextField::Text1, "");
    events.entries.clear();
    events.on["Command1_Click"] = [&] {
      Window().SetText(TextField::Text1, "partial");
      failure.rest(Window());
      events.entries.push_back("not reached");
    };
    ExpectBox([&](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle(), QString("Failure seen"));
      EXPECT_EQ(box.text().toStdString(), failure.prompt);
      EXPECT_EQ(box.icon(), QMessageBox::Critical);
      PressEnter(box);
    });
    Click(Find(Control::Command1));
    EXPECT_EQ(Window().GetText(TextField::Text1), "partial");  // the earlier step stays done
    EXPECT_TRUE(Form().isVisible());
  }
  events.on.erase("Command1_Click");
  events.entries.clear();
  Click(Find(Control::Option3));
  Click(Find(Control::Command1));
  EXPECT_EQ(events.entries, (Entries{"Option3_Click", "Command1_Click"}));
}

TEST_F(QtWindowTest, AFailingQueryUnloadKeepsTheWindowOpen) {
  events.on["Form_QueryUnload"] = [] { throw std::runtime_error("no"); };
  ExpectBox(PressEnter);
  Form().windowHandle()->close();
  EXPECT_TRUE(Form().isVisible());
  EXPECT_FALSE(Window().IsUnloaded());
}

TEST_F(QtWindowTest, OperationsOnControlsTheLayoutLacksFail) {
  const toolkit::ControlLayout rows[] = {
      {Control::Frame1, toolkit::ControlKind::Frame, std::nullopt, 120, 120, 3255, 1815, 0, "F",
       toolkit::FontRole::Window},
      {Control::Option1, toolkit::ControlKind::OptionButton, Control::Frame1, 120, 240, 1695, 495,
       1, "O", toolkit::FontRole::Window},
  };
  toolkit::qt::QtWindow window({"small", 3600, 2400, rows, "", ui::kLabelFont, ui::kFieldFont},
                              DescribeForTest);
  EXPECT_FALSE(window.IsSelected(Option::Option1));
  EXPECT_THROW(window.IsSelected(Option::Option2), ToolkitFailure);
  EXPECT_THROW(window.GetText(TextField::Text1), ToolkitFailure);
  EXPECT_THROW(window.SetCaption(toolkit::Label::Label1, "x"), ToolkitFailure);
}

TEST_F(QtWindowTest, LayoutsThatCannotBeBuiltAreRefused) {
  const toolkit::ControlLayout frame{Control::Frame1, toolkit::ControlKind::Frame, std::nullopt,
                                     0, 0, 900, 900, 0, "F", toolkit::FontRole::Window};
  struct Bad {
    const char* name;
    std::vector<toolkit::ControlLayout> rows;
    std::string_view icon;
  };
  const Bad bads[] = {
      {"one the toolkit core refuses: a control laid out twice", {frame, frame}, ""},
      {"an icon that the program does not carry", {frame}, "missing.ico"},
  };
  for (const Bad& bad : bads) {
    SCOPED_TRACE(bad.name);
    EXPECT_THROW(toolkit::qt::QtWindow({"bad", 900, 900, bad.rows, bad.icon, ui::kLabelFont,
                                        ui::kFieldFont},
                                       DescribeForTest),
                 ToolkitFailure);
  }
}

}  // namespace
}  // namespace toolkit_qt_test
