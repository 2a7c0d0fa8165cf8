// Form2's own handlers on the real window, with the program's general error
// handling, driven with the mouse and the keyboard as a user does: the road of
// one calculation, the error boxes, the speed-kind choices and the end of the
// program.

#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "window_fixture.h"
#include "toolkit/qt/application.h"
#include "ui/failure_report.h"
#include "ui/form2.h"
#include "ui/form2_layout.h"

namespace toolkit_qt_test {
namespace {

using toolkit::Control;
using toolkit::Label;
using toolkit::Option;
using toolkit::TextField;

// One thing the user does on the window.
struct Act {
  enum class Kind { Click, Type, Key } kind;
  Control control;
  std::string text;               // Type: replaces the field's text
  Qt::Key key = Qt::Key_unknown;  // Key: pressed with the focus on the control
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
Act Click(Control control) { return {Act::Kind::Click, control, {}}; }
Act Type(Control control, std::string text) { return {Act::Kind::Type, control, std::move(text)}; }
Act Press(Control control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  return {Act::Kind::Key, control, {}, key, modifiers};
}

// Clicks an option on its round indicator, any other control in its middle.
void ClickOn(QWidget& widget) {
  QPoint where = widget.rect().center();
  if (auto* option = qobject_cast<QRadioButton*>(&widget)) {
    QStyleOptionButton style;
    style.initFrom(option);
    where = option->style()
                ->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option)
                .center();
  }
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, where);
}

void Do(QWidget& form, const std::vector<Act>& acts) {
  for (const Act& act : acts) {
    QWidget& widget = FindControl(form, act.control);
    switch (act.kind) {
      case Act::Kind::Click:
        ClickOn(widget);
        break;
      case Act::Kind::Type: {  // click into the field, select all, type over it
        ClickOn(widget);
        QWidget* focused = form.focusWidget();
        ASSERT_EQ(focused, &widget) << "cannot type into " << toolkit::ControlName(act.control);
        QTest::keyClick(focused, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focused, QString::fromStdString(act.text));
        break;
      }
      case Act::Kind::Key:
        widget.setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.focusWidget(), act.key, act.modifiers);
        break;
    }
  }
}

// What the window shows of its options, fields and labels, by control name:
// {"Option1", "selected"}, {"Text2", "Enabled (disabled)"}, {"Label1", "输入…"}.
using Shown = std::map<std::string, std::string>;
using Changes = std::vector<std::pair<Control, std::string>>;

std::string Name(Control control) { return std::string(toolkit::ControlName(control)); }

Shown Seen(toolkit::qt::QtWindow& window) {
  Shown seen;
  for (const Option option : {Option::Option1, Option::Option2, Option::Option3, Option::Option4,
                              Option::Option5, Option::Option6}) {
    seen[Name(AsControl(option))] = window.IsSelected(option) ? "selected" : "";
  }
  for (const TextField field : {TextField::Text1, TextField::Text2, TextField::Text3,
                                TextField::Text4}) {
    const bool enabled = FindControl(window.Widget(), AsControl(field)).isEnabled();
    seen[Name(AsControl(field))] = window.GetText(field) + (enabled ? "" : " (disabled)");
  }
  for (const Label label : {Label::Label1, Label::Label2, Label::Label3, Label::Label4}) {
    seen[Name(AsControl(label))] =
        FindControl<QLabel>(window.Widget(), AsControl(label)).text().toStdString();
  }
  return seen;
}

Shown With(Shown shown, const Changes& changes) {
  for (const auto& [control, value] : changes) shown[Name(control)] = value;
  return shown;
}

struct Message {
  std::string title;
  std::string prompt;
  QMessageBox::Icon icon;
};

// Checks that a box is `expected` with one button, and clicks that button.
std::function<void(QMessageBox&)> Shows(Message expected) {
  return [expected](QMessageBox& box) {
    EXPECT_EQ(box.windowTitle().toStdString(), expected.title);
    EXPECT_EQ(box.text().toStdString(), expected.prompt);
    EXPECT_EQ(box.icon(), expected.icon);
    ASSERT_EQ(box.buttons().size(), 1);
    ClickOn(*box.buttons().front());
  };
}

// 1500 rev/min in, 600 rev/min out.
const Message kRatio2_5{"Result！", "传动比为： 2.5", QMessageBox::Information};

// Form2 with its own handlers and the program's general error handling,
// shown and active.
struct Form2Window {
  Form2Window() : handlers(ui::MakeForm2(window)) {
    window.Open(*handlers);
    window.Widget().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window.Widget()));
  }
  QWidget& Form() { return window.Widget(); }

  toolkit::qt::QtWindow window{ui::kForm2Layout, ui::DescribeFailure};
  std::unique_ptr<toolkit::WindowEvents> handlers;
};

TEST_F(QtWindowTest, Form2OkShowsTheSameRatioEveryTimeAndChangesNothing) {
  using enum toolkit::Control;
  struct Way {
    const char* name;
    Act press;
  };
  const Way ways[] = {
      {"a click on Command1", Click(Command1)},
      {"Enter in Text1", Press(Text1, Qt::Key_Return)},
      {"the keypad's Enter in Text3", Press(Text3, Qt::Key_Enter, Qt::KeypadModifier)},
  };
  Form2Window form2;
  Do(form2.Form(), {Click(Option1), Click(Option5), Type(Text1, "1500"), Type(Text3, "100")});
  const Shown before = Seen(form2.window);
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    for (int press = 1; press <= 2; ++press) {
      ExpectBox(Shows({"Result！", "传动比为： 1.570796", QMessageBox::Information}));
      Do(form2.Form(), {way.press});
      EXPECT_EQ(BoxesStillExpected(), 0u) << "press " << press;
      EXPECT_EQ(Seen(form2.window), before) << "press " << press;
      EXPECT_EQ(form2.Form().focusWidget(), &FindControl(form2.Form(), way.press.control))
          << "the focus stays where it was, press " << press;
    }
  }
}

TEST_F(QtWindowTest, Form2ReportsInputProblemsAndStaysUsable) {
  using enum toolkit::Control;
  struct Problem {
    const char* name;
    std::vector<Act> input;
    Message box;
    std::vector<Act> correction;  // to 1500 rev/min in, 600 rev/min out
  };
  const Problem problems[] = {
      {"no speed kind chosen",
       {},
       {"Error!", "您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！",
        QMessageBox::Critical},
       {Click(Option1), Click(Option4), Type(Text1, "1500"), Type(Text3, "600")}},
      {"Text3 left empty",
       {Click(Option1), Click(Option4), Type(Text1, "1500")},
       {"Error！", "数值输入不完全！", QMessageBox::Critical},
       {Type(Text3, "600")}},
      {"an output speed of 0",
       {Click(Option1), Click(Option4), Type(Text1, "1500"), Type(Text3, "0")},
       {"Error！", "输出速度为零，无法计算传动比！请检查输出速度的数值。", QMessageBox::Critical},
       {Type(Text3, "600")}},
      {"an input diameter of 0",
       {Click(Option3), Click(Option4), Type(Text1, "10"), Type(Text2, "0"), Type(Text3, "600")},
       {"Error！", "输入转轴直径为零，无法换算转速！请检查输入速度转轴直径的数值。",
        QMessageBox::Critical},
       {Click(Option1), Type(Text1, "1500")}},
      {"an output diameter of 0",
       {Click(Option1), Click(Option6), Type(Text1, "1500"), Type(Text3, "10"), Type(Text4, "0")},
       {"Error！", "输出转轴直径为零，无法换算转速！请检查输出速度转轴直径的数值。",
        QMessageBox::Critical},
       {Click(Option4), Type(Text3, "600")}},
  };
  for (const Problem& problem : problems) {
    SCOPED_TRACE(problem.name);
    Form2Window form2;
    Do(form2.Form(), problem.input);
    const Shown before = Seen(form2.window);
    ExpectBox(Shows(problem.box));
    Do(form2.Form(), {Click(Command1)});
    EXPECT_EQ(Seen(form2.window), before);

    Do(form2.Form(), problem.correction);
    ExpectBox(Shows(kRatio2_5));
    Do(form2.Form(), {Click(Command1)});
    EXPECT_EQ(BoxesStillExpected(), 0u);
  }
}

// Each step starts where the one before it ended; besides the changes named,
// the window must show what it showed before the step.
TEST_F(QtWindowTest, Form2OptionsPrepareTheirSideThroughTheWidgets) {
  using enum toolkit::Control;
  struct Step {
    const char* name;
    std::vector<Act> acts;
    Changes changes;
  };
  const Step steps[] = {
      {"Option1 empties Text1 and closes Text2 with \"Enabled\" in it",
       {Type(Text1, "3"), Type(Text2, "25"), Click(Option1)},
       {{Option1, "selected"}, {Label1, "输入转速n1（转/分钟）："}, {Text1, ""},
        {Text2, "Enabled (disabled)"}}},
      {"Option3 empties Text1 and opens Text2 empty",
       {Type(Text1, "4"), Click(Option3)},
       {{Option1, ""}, {Option3, "selected"}, {Label1, "输入速度v（米/秒）："}, {Text1, ""},
        {Text2, ""}}},
      {"clicking the selected Option3 again keeps what was typed",
       {Type(Text1, "7"), Type(Text2, "30"), Click(Option3)},
       {{Text1, "7"}, {Text2, "30"}}},
      {"Down from Option4 chooses Option5 and runs its handler",
       {Click(Option4), Type(Text3, "600"), Press(Option4, Qt::Key_Down)},
       {{Option5, "selected"}, {Label2, "输出转速n2（弧度/秒）："}, {Text3, ""},
        {Text4, "Enabled (disabled)"}}},
  };
  Form2Window form2;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    const Shown expected = With(Seen(form2.window), step.changes);
    Do(form2.Form(), step.acts);
    EXPECT_EQ(Seen(form2.window), expected);
  }
}

// Form2 behind a decorator that counts its Form_QueryUnload events.
class CountingQueryUnload final : public toolkit::WindowEvents {
 public:
  CountingQueryUnload(std::unique_ptr<toolkit::WindowEvents> form2, int& count)
      : form2_(std::move(form2)), count_(count) {}

  void Form_Load() override { form2_->Form_Load(); }
  void Form_QueryUnload(bool& cancel, toolkit::CloseReason reason) override {
    ++count_;
    form2_->Form_QueryUnload(cancel, reason);
  }
  void Option1_Click() override { form2_->Option1_Click(); }
  void Option2_Click() override { form2_->Option2_Click(); }
  void Option3_Click() override { form2_->Option3_Click(); }
  void Option4_Click() override { form2_->Option4_Click(); }
  void Option5_Click() override { form2_->Option5_Click(); }
  void Option6_Click() override { form2_->Option6_Click(); }
  void Command1_Click() override { form2_->Command1_Click(); }
  void Command2_Click() override { form2_->Command2_Click(); }

 private:
  std::unique_ptr<toolkit::WindowEvents> form2_;
  int& count_;
};

TEST_F(QtWindowTest, Form2EndsTheProgramOnceWithStatus0) {
  using enum toolkit::Control;
  struct Ending {
    const char* name;
    std::function<void(QWidget&)> ask;  // after a choice and some typing
  };
  const Ending endings[] = {
      {"the close box", [](QWidget& form) { form.windowHandle()->close(); }},
      {"a click on Command2", [](QWidget& form) { Do(form, {Click(Command2)}); }},
      {"Esc in Text1", [](QWidget& form) { Do(form, {Press(Text1, Qt::Key_Escape)}); }},
  };
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.name);
    int queryUnloads = 0;
    const toolkit::HandlerFactory makeHandlers = [&](toolkit::WindowToolkit& window) {
      QWidget& form = dynamic_cast<toolkit::qt::QtWindow&>(window).Widget();
      QTimer::singleShot(0, &form, [&ending, &form] {
        Do(form, {Click(Option3), Type(Text1, "12")});
        ending.ask(form);
      });
      return std::make_unique<CountingQueryUnload>(ui::MakeForm2(window), queryUnloads);
    };
    EXPECT_EQ(RunQtWindow(makeHandlers, ui::DescribeFailure), 0);
    EXPECT_EQ(queryUnloads, 1);
  }
}

}  // namespace
}  // namespace toolkit_qt_test
