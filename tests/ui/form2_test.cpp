#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc/ratio_calculation.h"
#include "recording_toolkit.h"
#include "ui/form2.h"

namespace {

using calc::SpeedKind;
using toolkit::Label;
using toolkit::Option;
using toolkit::TextField;
using ui::Form2;
using ui_test::RecordingToolkit;
using Calls = std::vector<std::string>;

using Handler = void (Form2::*)();

struct HandlerCase {
  const char* name;
  Handler handler;
  Calls calls;
};

const HandlerCase kOptionHandlers[] = {
    {"Option1_Click", &Form2::Option1_Click,
     {"SetCaption(Label1, 输入转速n1（转/分钟）：)", "SetText(Text1, )", "SetText(Text2, Enabled)",
      "SetEnabled(Text2, false)"}},
    {"Option2_Click", &Form2::Option2_Click,
     {"SetCaption(Label1, 输入转速n1（弧度/秒）：)", "SetText(Text1, )", "SetText(Text2, Enabled)",
      "SetEnabled(Text2, false)"}},
    {"Option3_Click", &Form2::Option3_Click,
     {"SetCaption(Label1, 输入速度v（米/秒）：)", "SetCaption(Label4, 输入速度转轴直径（毫米）：)",
      "SetText(Text1, )", "SetText(Text2, )", "SetEnabled(Text2, true)"}},
    {"Option4_Click", &Form2::Option4_Click,
     {"SetCaption(Label2, 输出转速n2（转/分钟）：)", "SetText(Text3, )", "SetText(Text4, Enabled)",
      "SetEnabled(Text4, false)"}},
    {"Option5_Click", &Form2::Option5_Click,
     {"SetCaption(Label2, 输出转速n2（弧度/秒）：)", "SetText(Text3, )", "SetText(Text4, Enabled)",
      "SetEnabled(Text4, false)"}},
    {"Option6_Click", &Form2::Option6_Click,
     {"SetCaption(Label2, 输出速度v（米/秒）：)", "SetCaption(Label3, 输出速度转轴直径（毫米）：)",
      "SetText(Text3, )", "SetText(Text4, )", "SetEnabled(Text4, true)"}},
};

TEST(Form2Test, LoadDeselectsTheSixOptionsInOrderAndNothingElse) {
  RecordingToolkit window;
  window.selected = {Option::Option2, Option::Option6};
  Form2(window).Form_Load();
  EXPECT_EQ(window.calls, (Calls{"Deselect(Option1)", "Deselect(Option2)", "Deselect(Option3)",
                                 "Deselect(Option4)", "Deselect(Option5)", "Deselect(Option6)"}));
  EXPECT_TRUE(window.selected.empty());
}

TEST(Form2Test, EachOptionWritesItsSideInColumnOrder) {
  for (const HandlerCase& c : kOptionHandlers) {
    SCOPED_TRACE(c.name);
    RecordingToolkit window;
    Form2 form(window);
    (form.*c.handler)();
    EXPECT_EQ(window.calls, c.calls);
  }
}

// A failure at any step of any handler ends it there: the steps before it
// stay done, none after it runs, and the failure leaves the handler.
TEST(Form2Test, AFailedStepEndsTheHandlerWithEarlierStepsDone) {
  struct Case {
    const char* name;
    std::function<void(Form2&)> run;
  };
  const Case cases[] = {
      {"Form_Load", [](Form2& f) { f.Form_Load(); }},
      {"Option1_Click", [](Form2& f) { f.Option1_Click(); }},
      {"Option3_Click", [](Form2& f) { f.Option3_Click(); }},
      {"Option5_Click", [](Form2& f) { f.Option5_Click(); }},
      {"Option6_Click", [](Form2& f) { f.Option6_Click(); }},
      {"Command1_Click", [](Form2& f) { f.Command1_Click(); }},
      {"Command2_Click", [](Form2& f) { f.Command2_Click(); }},
      {"Form_QueryUnload",
       [](Form2& f) {
         bool cancel = false;
         f.Form_QueryUnload(cancel, toolkit::CloseReason::ControlMenu);
       }},
  };
  const auto prepare = [](RecordingToolkit& window) {
    window.selected = {Option::Option3, Option::Option5};
    window.texts = {{TextField::Text1, "2"}, {TextField::Text2, "100"}, {TextField::Text3, "1"}};
  };
  for (const Case& c : cases) {
    RecordingToolkit complete;
    prepare(complete);
    Form2 completeForm(complete);
    c.run(completeForm);
    ASSERT_FALSE(complete.calls.empty()) << c.name;

    for (int step = 0; step < static_cast<int>(complete.calls.size()); ++step) {
      SCOPED_TRACE(std::string(c.name) + " failing at " + complete.calls[step]);
      RecordingToolkit window;
      prepare(window);
      window.failAtCall = step;
      Form2 form(window);
      EXPECT_THROW(c.run(form), toolkit::ToolkitFailure);
      EXPECT_EQ(window.calls, Calls(complete.calls.begin(), complete.calls.begin() + step + 1));
    }
  }
}

// Both sides' state machines, driven as a user would: typing, then choosing.
TEST(Form2Test, DiameterFieldOpensAndClosesWithTheKind) {
  RecordingToolkit window;
  Form2 form(window);
  const auto type = [&](TextField field, const char* text) { window.texts[field] = text; };

  type(TextField::Text1, "12");
  type(TextField::Text2, "80");
  form.Option1_Click();  // no kind -> rev/min
  EXPECT_EQ(window.texts[TextField::Text1], "");
  EXPECT_EQ(window.texts[TextField::Text2], "Enabled");
  EXPECT_FALSE(window.enabled[TextField::Text2]);
  EXPECT_EQ(window.captions.count(Label::Label4), 0u) << "the diameter label is left alone";

  type(TextField::Text1, "1500");
  form.Option2_Click();  // rev/min -> rad/s: the speed field is emptied again
  EXPECT_EQ(window.texts[TextField::Text1], "");
  EXPECT_EQ(window.texts[TextField::Text2], "Enabled");
  EXPECT_FALSE(window.enabled[TextField::Text2]);

  form.Option3_Click();  // rad/s -> linear speed: the diameter field opens empty
  EXPECT_EQ(window.texts[TextField::Text2], "");
  EXPECT_TRUE(window.enabled[TextField::Text2]);
  EXPECT_EQ(window.captions[Label::Label1], "输入速度v（米/秒）：");

  type(TextField::Text2, "100");
  form.Option1_Click();  // linear speed -> rev/min: what was typed is replaced
  EXPECT_EQ(window.texts[TextField::Text2], "Enabled");
  EXPECT_FALSE(window.enabled[TextField::Text2]);

  // The output side moves the same way, and never touches the input side.
  const auto inputSide = window.texts;
  type(TextField::Text4, "50");
  form.Option4_Click();
  form.Option6_Click();
  EXPECT_EQ(window.texts[TextField::Text4], "");
  EXPECT_TRUE(window.enabled[TextField::Text4]);
  type(TextField::Text4, "50");
  form.Option5_Click();
  EXPECT_EQ(window.texts[TextField::Text4], "Enabled");
  EXPECT_FALSE(window.enabled[TextField::Text4]);
  EXPECT_EQ(window.texts[TextField::Text1], inputSide.at(TextField::Text1));
  EXPECT_EQ(window.texts[TextField::Text2], inputSide.at(TextField::Text2));
  EXPECT_EQ(window.captions[Label::Label2], "输出转速n2（弧度/秒）：");
  EXPECT_EQ(window.captions[Label::Label3], "输出速度转轴直径（毫米）：");
}

struct SelectionCase {
  std::optional<Option> input;
  std::optional<Option> output;
  std::optional<SpeedKind> inputKind;
  std::optional<SpeedKind> outputKind;
};

// Every combination of selected options (or none) on the two sides.
std::vector<SelectionCase> AllSelections() {
  const std::optional<Option> inputs[] = {std::nullopt, Option::Option1, Option::Option2,
                                          Option::Option3};
  const std::optional<Option> outputs[] = {std::nullopt, Option::Option4, Option::Option5,
                                           Option::Option6};
  const std::optional<SpeedKind> kinds[] = {std::nullopt, SpeedKind::RevPerMin,
                                            SpeedKind::RadPerSec, SpeedKind::LinearSpeed};
  std::vector<SelectionCase> cases;
  for (int i = 0; i < 4; ++i) {
    for (int o = 0; o < 4; ++o) cases.push_back({inputs[i], outputs[o], kinds[i], kinds[o]});
  }
  return cases;
}

std::string ShowCall(const calc::RatioOutcome& outcome) {
  return "ShowMessage(" + outcome.prompt + ", " + outcome.title + ", " +
         std::to_string(static_cast<int>(outcome.icon)) + ")";
}

TEST(Form2Test, OkBuildsTheRequestFromTheOptionsAndFields) {
  for (const SelectionCase& c : AllSelections()) {
    RecordingToolkit window;
    if (c.input) window.selected.insert(*c.input);
    if (c.output) window.selected.insert(*c.output);
    // Distinct numbers in every field, so a field read in the wrong place shows.
    window.texts = {{TextField::Text1, "1500"},
                    {TextField::Text2, "30"},
                    {TextField::Text3, "7"},
                    {TextField::Text4, "200"}};
    const calc::RatioRequest expected{c.inputKind, c.outputKind, "1500", "30", "7", "200"};
    const calc::RatioOutcome outcome = calc::CalculateRatio(expected);
    SCOPED_TRACE(outcome.prompt);

    Form2(window).Command1_Click();

    ASSERT_FALSE(window.calls.empty());
    EXPECT_EQ(window.calls.back(), ShowCall(outcome));
    const Calls reads(window.calls.begin(), window.calls.end() - 1);
    for (const std::string& call : reads) {
      EXPECT_TRUE(call.starts_with("IsSelected(") || call.starts_with("GetText("))
          << call << ": OK changes nothing in the window";
    }
    const Calls fieldReads(reads.end() - 4, reads.end());
    EXPECT_EQ(fieldReads, (Calls{"GetText(Text1)", "GetText(Text2)", "GetText(Text3)",
                                 "GetText(Text4)"}));
  }
}

TEST(Form2Test, OkWithoutAnyKindShowsTheNoKindBox) {
  RecordingToolkit window;
  Form2(window).Command1_Click();
  EXPECT_EQ(window.calls.back(),
            "ShowMessage(您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！, "
            "Error!, 16)");
}

TEST(Form2Test, OkRoadOfOneCalculation) {
  RecordingToolkit window;
  Form2 form(window);
  form.Form_Load();
  window.selected = {Option::Option1};
  form.Option1_Click();
  window.selected.insert(Option::Option5);
  form.Option5_Click();
  window.texts[TextField::Text1] = "1500";
  window.texts[TextField::Text3] = "100";
  window.calls.clear();
  form.Command1_Click();
  EXPECT_EQ(window.calls.back(), "ShowMessage(传动比为： 1.570796, Result！, 64)");
  // Pressed twice with the same input, the same box.
  form.Command1_Click();
  EXPECT_EQ(window.calls.back(), "ShowMessage(传动比为： 1.570796, Result！, 64)");
}

TEST(Form2Test, ArithmeticFailureLeavesOkWithoutABox) {
  RecordingToolkit window;
  window.selected = {Option::Option1, Option::Option4};
  window.texts = {{TextField::Text1, "1500"}, {TextField::Text3, "0"}};
  EXPECT_THROW(Form2(window).Command1_Click(), calc::ArithmeticFailure);
  for (const std::string& call : window.calls) EXPECT_FALSE(call.starts_with("ShowMessage"));
}

TEST(Form2Test, ExitAndEveryCloseUnloadTheWindowWithoutCancelling) {
  RecordingToolkit window;
  Form2 form(window);
  form.Command2_Click();
  EXPECT_EQ(window.calls, Calls{"UnloadWindow(Form2)"});

  for (toolkit::CloseReason reason : {toolkit::CloseReason::ControlMenu,
                                      toolkit::CloseReason::Code,
                                      toolkit::CloseReason::Session}) {
    for (bool cancel : {false, true}) {
      window.calls.clear();
      bool flag = cancel;
      form.Form_QueryUnload(flag, reason);
      EXPECT_EQ(flag, cancel) << "the cancel flag is neither read nor written";
      EXPECT_EQ(window.calls, Calls{"UnloadWindow(Form2)"});
    }
  }
}

}  // namespace
