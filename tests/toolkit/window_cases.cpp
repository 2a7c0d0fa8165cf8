#include "window_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "ui/form2.h"
#include "ui/form2_layout.h"

namespace window_cases {
namespace {

using enum toolkit::Control;

constexpr std::string_view kNoKind =
    "您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！";
constexpr std::string_view kIncomplete = "数值输入不完全！";

Step NoKindBox(std::vector<Step> inBox = {}) { return Box("Error!", kNoKind, std::move(inBox)); }
Step ErrorBox(std::string_view prompt) { return Box("Error！", prompt); }
Step ResultBox(std::string_view prompt) { return Box("Result！", prompt); }

// What each option shows once chosen, coming from another option of its side
// with text typed into the side's open fields.
Case Choice(std::string_view name, Control from, Control option, Shown shown) {
  const bool input = option <= Option3;
  std::vector<Step> steps{Click(from)};
  for (const Control field : input ? std::vector{Text1, Text2} : std::vector{Text3, Text4}) {
    // A rotational kind has closed the diameter field.
    if ((from == Option3 || from == Option6) || field == Text1 || field == Text3) {
      steps.push_back(Type(field, "42"));
    }
  }
  steps.push_back(Click(option));
  shown[option] = "selected";
  shown[from] = "";
  return {name, steps, shown};
}

std::vector<Step> Round(Control start, std::string_view key, std::vector<Control> visits) {
  std::vector<Step> steps{Focus(start)};
  for (const Control control : visits) {
    steps.push_back(Key(key));
    steps.push_back(Focused(control));
  }
  return steps;
}

const std::vector<Case> kCases = {
    // Choosing a speed kind: the option's handler runs when a click selects it.
    Choice("Option1 empties Text1 and closes Text2 with \"Enabled\" in it", Option3, Option1,
           {{Label1, "输入转速n1（转/分钟）："}, {Text1, ""}, {Text2, "Enabled (disabled)"}}),
    Choice("Option2 names rad/s", Option3, Option2,
           {{Label1, "输入转速n1（弧度/秒）："}, {Text1, ""}, {Text2, "Enabled (disabled)"}}),
    Choice("Option3 opens Text2 empty", Option1, Option3,
           {{Label1, "输入速度v（米/秒）："}, {Label4, "输入速度转轴直径（毫米）："}, {Text1, ""},
            {Text2, ""}}),
    Choice("Option4 empties Text3 and closes Text4", Option6, Option4,
           {{Label2, "输出转速n2（转/分钟）："}, {Text3, ""}, {Text4, "Enabled (disabled)"}}),
    Choice("Option5 names rad/s", Option6, Option5,
           {{Label2, "输出转速n2（弧度/秒）："}, {Text3, ""}, {Text4, "Enabled (disabled)"}}),
    Choice("Option6 opens Text4 empty", Option4, Option6,
           {{Label2, "输出速度v（米/秒）："}, {Label3, "输出速度转轴直径（毫米）："}, {Text3, ""},
            {Text4, ""}}),
    {"a click on the option already chosen runs nothing",
     {Click(Option3), Type(Text1, "7"), Type(Text2, "30"), Click(Option3)},
     {{Option3, "selected"}, {Text1, "7"}, {Text2, "30"}}},
    {"Space on the option already chosen runs nothing",
     {Click(Option3), Type(Text1, "7"), Focus(Option3), Key("Space")},
     {{Option3, "selected"}, {Text1, "7"}}},
    {"the arrows choose the next option and the one before, and run their handlers",
     {Click(Option4), Focus(Option4), Key("ArrowDown"), Focused(Option5), Key("ArrowDown"),
      Focused(Option6), Type(Text3, "600"), Focus(Option6), Key("ArrowUp"), Focused(Option5)},
     {{Option4, ""}, {Option5, "selected"}, {Option6, ""}, {Label2, "输出转速n2（弧度/秒）："},
      {Text3, ""}, {Text4, "Enabled (disabled)"}}},
    {"the two frames choose independently",
     {Click(Option4), Click(Option1), Click(Option6)},
     {{Option1, "selected"}, {Option4, ""}, {Option6, "selected"}}},
    {"a push button runs on every click", {Click(Command1), NoKindBox(), Click(Command1), NoKindBox()}},

    // Tab goes round the window in the tab order, an option group one stop.
    {"the first stop has the focus when the window opens", {Focused(Option1)}},
    {"Tab goes round the window, each group one stop",
     Round(Option1, "Tab", {Option4, Text1, Text2, Text3, Command1, Command2, Text4, Option1})},
    {"Shift+Tab goes round the other way",
     Round(Text4, "Shift+Tab", {Command2, Command1, Text3, Text2, Text1})},
    {"Tab enters each group at its chosen option and passes over a closed field",
     [] {
       std::vector<Step> steps{Click(Option2), Click(Option6)};
       for (const Step& step : Round(Option2, "Tab", {Option6, Text1, Text3, Command1, Command2,
                                                       Text4, Option2})) {
         steps.push_back(step);
       }
       return steps;
     }()},

    // Enter presses the focused push button or else 确 定; Esc presses 退 出.
    {"Enter in a field presses 确 定",
     {Click(Option2), Click(Option4), Type(Text1, "100"), Type(Text3, "1500"), Key("Enter"),
      ResultBox("传动比为： 0.6366198"), Focused(Text3)}},
    {"the keypad's Enter in a field", {Focus(Text4), Key("KeypadEnter"), NoKindBox()}, {}, false,
     {"keypad"}},
    {"Enter on an option presses 确 定", {Focus(Option5), Key("Enter"), NoKindBox()}},
    {"Enter on 确 定", {Focus(Command1), Key("Enter"), NoKindBox()}},
    {"Space on 确 定", {Focus(Command1), Key("Space"), NoKindBox()}},
    {"Enter in a field after 退 出 had the focus",
     {Focus(Command2), Focus(Text4), Key("Enter"), NoKindBox()}},
    {"Enter on 退 出 presses it", {Focus(Command2), Key("Enter")}, {}, true},
    {"Space on 退 出 presses it", {Focus(Command2), Key("Space")}, {}, true},
    {"Esc in a field presses 退 出", {Focus(Text1), Key("Escape")}, {}, true},
    {"Esc on 确 定 presses 退 出", {Focus(Command1), Key("Escape")}, {}, true},

    // The boxes; the window is as it was once a box is closed.
    {"rev/min in, rad/s out: the same ratio on every press",
     {Click(Option1), Click(Option5), Type(Text1, "1500"), Type(Text3, "100"), Click(Command1),
      ResultBox("传动比为： 1.570796"), Click(Command1), ResultBox("传动比为： 1.570796")},
     {{Option1, "selected"}, {Option5, "selected"}, {Text1, "1500"}, {Text3, "100"}}},
    {"no speed kind chosen", {Type(Text1, "1500"), Click(Command1), NoKindBox()}, {{Text1, "1500"}}},
    {"an empty output speed",
     {Click(Option1), Click(Option4), Type(Text1, "1500"), Click(Command1), ErrorBox(kIncomplete)}},
    {"a zero output speed fails in its handler: the failure is shown and the window goes on",
     {Click(Option1), Click(Option4), Type(Text1, "1500"), Type(Text3, "0"), Click(Command1),
      ErrorBox("输出速度为零，无法计算传动比！请检查输出速度的数值。"), Type(Text3, "600"),
      Click(Command1), ResultBox("传动比为： 2.5")}},
    {"a zero input diameter",
     {Click(Option3), Click(Option4), Type(Text1, "10"), Type(Text2, "0"), Type(Text3, "600"),
      Click(Command1),
      ErrorBox("输入转轴直径为零，无法换算转速！请检查输入速度转轴直径的数值。")}},
    {"a zero output diameter",
     {Click(Option1), Click(Option6), Type(Text1, "1500"), Type(Text3, "10"), Type(Text4, "0"),
      Click(Command1),
      ErrorBox("输出转轴直径为零，无法换算转速！请检查输出速度转轴直径的数值。")}},

    // A field keeps the first line of a paste, whatever ends it, and Ctrl+Z
    // takes the paste back.
    {"lines pasted into an empty field",
     {Paste(Text1, "1500\r\n2000"), Shows(Text1, "1500"), Key("Control+z")}, {{Text1, ""}}},
    {"lines pasted between two digits",
     {Type(Text1, "19"), Paste(Text1, "5\n7", "Control+v", 1), Shows(Text1, "159"),
      Key("Control+z")},
     {{Text1, "19"}}},
    {"a carriage return alone ends a line",
     {Paste(Text1, "1500\r2000"), Shows(Text1, "1500"), Key("Control+z")}, {{Text1, ""}}},
    {"an empty first line puts nothing in", {Type(Text1, "7"), Paste(Text1, "\r2000")},
     {{Text1, "7"}}},
    {"one line is pasted whole", {Type(Text1, "1"), Paste(Text1, "500")}, {{Text1, "1500"}}},
    {"Shift+Insert",
     {Type(Text1, "19"), Paste(Text1, "5\r2", "Shift+Insert", 1), Shows(Text1, "159"),
      Key("Control+z")},
     {{Text1, "19"}}, false, {"Shift+Insert"}},
    {"Ctrl+Shift+Insert",
     {Paste(Text1, "1500\r2000", "Control+Shift+Insert"), Shows(Text1, "1500"), Key("Control+z")},
     {{Text1, ""}}, false, {"Control+Shift+Insert"}},
    {"the context menu's paste", {Paste(Text1, "3.5\n", "menu"), Shows(Text1, "3.5"), Key("Control+z")},
     {{Text1, ""}}, false, {"menu"}},
    {"a long line, then more",
     {Paste(Text1, "<40000×9>\r<200000×8>", "menu"), Shows(Text1, "<40000×9>"), Key("Control+z")},
     {{Text1, ""}}, false, {"menu"}},

    // Closing: Form_QueryUnload once, and the window goes.
    {"the close box closes the window", {Click(Option3), Type(Text1, "12"), CloseBox()}, {}, true},
    {"退 出 closes the window", {Click(Command2)}, {}, true},
    {"Alt+F4 closes the window", {Key("Alt+F4")}, {}, true, {"Alt+F4"}},
    {"a close from the taskbar while a box is open waits for the box's handler",
     {Click(Command1), NoKindBox({TaskbarClose(), TaskbarClose()})}, {}, true, {"taskbar"}},
};

}  // namespace

Step Click(Control control) { return {Step::Do::Click, control}; }
Step Type(Control control, std::string_view text) { return {Step::Do::Type, control, text}; }
Step Key(std::string_view key) { return {Step::Do::Key, Frame1, key}; }
Step Focus(Control control) { return {Step::Do::Focus, control}; }
Step Paste(Control control, std::string_view text, std::string_view how, int caret) {
  return {Step::Do::Paste, control, text, how, caret};
}
Step CloseBox() { return {Step::Do::CloseBox}; }
Step TaskbarClose() { return {Step::Do::TaskbarClose}; }
Step Focused(Control control) { return {Step::Do::Focused, control}; }
Step Shows(Control control, std::string_view shown) { return {Step::Do::Shows, control, shown}; }
Step Box(std::string_view title, std::string_view prompt, std::vector<Step> inBox) {
  return {Step::Do::Box, Frame1, prompt, {}, -1, title, std::move(inBox)};
}

const std::vector<Case>& Cases() { return kCases; }

std::string Expand(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find('<', at);
    const std::size_t times = open == std::string_view::npos ? open : text.find("×", open);
    const std::size_t close = times == std::string_view::npos ? times : text.find('>', times);
    if (close == std::string_view::npos) {
      out += text.substr(at);
      break;
    }
    out += text.substr(at, open - at);
    const std::string_view count = text.substr(open + 1, times - open - 1);
    const std::string_view unit = text.substr(times + std::string_view("×").size(),
                                              close - times - std::string_view("×").size());
    for (int n = std::stoi(std::string(count)); n > 0; --n) out += unit;
    at = close + 1;
  }
  return out;
}

namespace {

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Name(Control control) { return Quoted(toolkit::ControlName(control)); }

constexpr const char* kDo[] = {"Click", "Type", "Key", "Focus", "Paste", "CloseBox",
                               "TaskbarClose", "Focused", "Shows", "Box"};
constexpr const char* kKinds[] = {"Frame", "OptionButton", "Label", "TextBox", "PushButton"};

std::string StepsJson(const std::vector<Step>& steps) {
  std::string json = "[";
  for (const Step& step : steps) {
    if (json.size() > 1) json += ", ";
    json += std::string("{\"do\": ") + Quoted(kDo[static_cast<int>(step.what)]) +
            ", \"control\": " + Name(step.control) + ", \"text\": " + Quoted(step.text) +
            ", \"how\": " + Quoted(step.how) + ", \"caret\": " + std::to_string(step.caret) +
            ", \"title\": " + Quoted(step.title) + ", \"inBox\": " + StepsJson(step.inBox) + "}";
  }
  return json + "]";
}

}  // namespace

std::string Json() {
  const toolkit::WindowLayout& layout = ui::kForm2Layout;
  std::string json = "{\"layout\": {\"caption\": " + Quoted(layout.caption) +
                     ", \"width\": " + std::to_string(layout.clientWidth) +
                     ", \"height\": " + std::to_string(layout.clientHeight) +
                     ", \"faces\": [";
  for (const std::string_view face : toolkit::FaceFamilies(layout.labelFont.face)) {
    if (json.back() != '[') json += ", ";
    json += Quoted(face);
  }
  json += "], \"controls\": [";
  for (const toolkit::ControlLayout& row : layout.controls) {
    if (json.back() != '[') json += ",\n  ";
    json += "{\"name\": " + Name(row.control) + ", \"kind\": " +
            Quoted(kKinds[static_cast<int>(row.kind)]) + ", \"container\": " +
            (row.container ? Name(*row.container) : "null") +
            ", \"left\": " + std::to_string(row.left) + ", \"top\": " + std::to_string(row.top) +
            ", \"width\": " + std::to_string(row.width) +
            ", \"height\": " + std::to_string(row.height) +
            ", \"tabIndex\": " + std::to_string(row.tabIndex) +
            ", \"caption\": " + Quoted(row.caption) +
            ", \"pointingHand\": " + (row.cursor == toolkit::Cursor::PointingHand ? "true" : "false") +
            ", \"buddy\": " + (row.buddy ? Name(*row.buddy) : "null") + "}";
  }
  json += "]},\n\"cases\": [";
  for (const Case& c : kCases) {
    if (json.back() != '[') json += ",\n  ";
    json += "{\"name\": " + Quoted(c.name) + ", \"steps\": " + StepsJson(c.steps) + ", \"shown\": {";
    for (const auto& [control, shown] : c.shown) {
      if (json.back() != '{') json += ", ";
      json += Name(control) + ": " + Quoted(shown);
    }
    json += std::string("}, \"closed\": ") + (c.closed ? "true" : "false") + ", \"needs\": [";
    for (const std::string_view need : c.needs) {
      if (json.back() != '[') json += ", ";
      json += Quoted(need);
    }
    json += "]}";
  }
  return json + "]}\n";
}

namespace {

void Perform(WindowDriver& driver, const std::vector<Step>& steps) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    SCOPED_TRACE("step " + std::to_string(i + 1));
    if (step.what == Step::Do::Box) continue;  // expected before the step that opens it
    if (i + 1 < steps.size() && steps[i + 1].what == Step::Do::Box) {
      const Step& box = steps[i + 1];
      driver.ExpectBox([&driver, &box](const WindowDriver::SeenBox& seen) {
        EXPECT_EQ(seen.title, box.title);
        EXPECT_EQ(seen.prompt, box.text);
        Perform(driver, box.inBox);
        EXPECT_FALSE(driver.Closed()) << "the window stays while its box is open";
        driver.CloseBoxByEnter();
      });
    }
    if (step.what == Step::Do::Focused) {
      EXPECT_EQ(driver.FocusedControl(), step.control);
    } else if (step.what == Step::Do::Shows) {
      EXPECT_EQ(driver.Show(step.control), Expand(step.text));
    } else {
      driver.Do(step);
    }
    if (i + 1 < steps.size() && steps[i + 1].what == Step::Do::Box) {
      EXPECT_FALSE(driver.BoxesStillExpected()) << "the box opened";
    }
  }
}

}  // namespace

void RunCases(WindowDriver& driver) {
  const std::set<std::string_view> lacks = driver.Lacks();
  for (const Case& c : kCases) {
    if (std::any_of(c.needs.begin(), c.needs.end(),
                    [&](std::string_view need) { return lacks.count(need) != 0; })) {
      continue;
    }
    SCOPED_TRACE(std::string(c.name));
    driver.Open();
    Perform(driver, c.steps);
    for (const auto& [control, shown] : c.shown) {
      EXPECT_EQ(driver.Show(control), Expand(shown)) << toolkit::ControlName(control);
    }
    EXPECT_EQ(driver.Closed(), c.closed);
    if (c.closed) {
      EXPECT_EQ(driver.QueryUnloads(), 1);
    }
  }
}

namespace {

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

}  // namespace

std::unique_ptr<toolkit::WindowEvents> CountingForm2(toolkit::WindowToolkit& window,
                                                    int& queryUnloads) {
  queryUnloads = 0;
  return std::make_unique<CountingQueryUnload>(ui::MakeForm2(window), queryUnloads);
}

void CheckControls(const std::function<ControlView(Control)>& view, int dpi) {
  const toolkit::WindowLayout& layout = ui::kForm2Layout;
  for (const toolkit::ControlLayout& row : layout.controls) {
    SCOPED_TRACE(std::string(toolkit::ControlName(row.control)));
    const ControlView seen = view(row.control);
    int left = row.left, top = row.top;
    for (const toolkit::ControlLayout& frame : layout.controls) {
      if (row.container == frame.control) {
        left += frame.left;
        top += frame.top;
      }
    }
    EXPECT_EQ(seen.left, toolkit::TwipsToPixels(left, dpi));
    EXPECT_EQ(seen.top, toolkit::TwipsToPixels(top, dpi));
    EXPECT_EQ(seen.width, toolkit::TwipsToPixels(row.width, dpi));
    EXPECT_EQ(seen.height, toolkit::TwipsToPixels(row.height, dpi));
    EXPECT_EQ(seen.caption, row.caption);
    EXPECT_EQ(seen.pointingHand, row.cursor == toolkit::Cursor::PointingHand);
    EXPECT_EQ(seen.names, row.buddy);
  }
}

}  // namespace window_cases
