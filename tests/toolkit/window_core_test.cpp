// The toolkit core that every binding builds on: which layouts it refuses,
// the rules of its events, the first line a field keeps, and the UTF-8 it
// lets through to a toolkit.

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "recording_events.h"
#include "recording_toolkit.h"
#include "toolkit/utf16.h"
#include "toolkit/bound_window.h"
#include "toolkit/event_dispatch.h"
#include "toolkit/field_text.h"
#include "toolkit/window_layout.h"
#include "ui/form2_layout.h"

namespace {

using toolkit::Control;
using toolkit::ControlKind;
using toolkit::ControlLayout;
using toolkit::FontRole;

constexpr toolkit::FontSpec kFont{"宋体", 9.75, 400, 134};

TEST(BuildOrderTest, LayoutsThatCannotBeBuiltAreRefused) {
  const ControlLayout frame{Control::Frame1, ControlKind::Frame, std::nullopt, 0, 0,
                            900, 900, 0, "F", FontRole::Window};
  const ControlLayout label{Control::Label1, ControlKind::Label, std::nullopt, 0, 0,
                            900, 300, 1, "L", FontRole::Label};
  auto optionInLabel = ControlLayout{Control::Option1, ControlKind::OptionButton,
                                     Control::Label1, 0, 0, 900, 300, 2, "O", FontRole::Window};
  auto optionOnWindow = optionInLabel;
  optionOnWindow.container = std::nullopt;
  auto optionInMissingFrame = optionInLabel;
  optionInMissingFrame.container = Control::Frame2;
  auto frameInFrame = frame;
  frameInFrame.control = Control::Frame2;
  frameInFrame.container = Control::Frame1;
  auto optionInInnerFrame = optionInLabel;
  optionInInnerFrame.container = Control::Frame2;
  auto defaultLabel = label;
  defaultLabel.buttonRole = toolkit::ButtonRole::Default;
  auto buddyMissing = label;
  buddyMissing.buddy = Control::Text1;
  auto badCaption = frame;
  badCaption.caption = "\xE4\xBC";
  // Frame1, Option1, Frame2, Option4, Option2 in tab order: Frame1's group parted.
  auto option1 = optionInLabel;
  option1.container = Control::Frame1;
  auto frame2 = frame;
  frame2.control = Control::Frame2;
  frame2.tabIndex = 3;
  auto option4 = option1;
  option4.control = Control::Option4;
  option4.container = Control::Frame2;
  option4.tabIndex = 4;
  auto option2 = option1;
  option2.control = Control::Option2;
  option2.tabIndex = 5;
  auto labelOfOption = label;
  labelOfOption.buddy = Control::Option1;
  struct Bad {
    const char* name;
    std::vector<ControlLayout> rows;
    toolkit::FontSpec labelFont = kFont;
  };
  const Bad bads[] = {
      {"a control laid out twice", {frame, label, frame}},
      {"an option inside a label", {label, optionInLabel}},
      {"an option inside a frame that is not there", {optionInMissingFrame}},
      {"an option outside any frame", {frame, optionOnWindow}},
      {"an option inside a frame inside a frame", {frame, frameInFrame, optionInInnerFrame}},
      {"a default role on a label", {defaultLabel}},
      {"a buddy that is not there", {buddyMissing}},
      {"a caption that is not UTF-8", {badCaption}},
      {"a frame's options parted in the tab order", {frame, option1, frame2, option4, option2}},
      {"a label that names an option", {frame, option1, labelOfOption}},
      {"a label without a label font", {label}, {}},
  };
  for (const Bad& bad : bads) {
    SCOPED_TRACE(bad.name);
    EXPECT_THROW(toolkit::BuildOrder({"bad", 900, 900, bad.rows, "", bad.labelFont, kFont}),
                 toolkit::ToolkitFailure);
  }

  auto optionInFrame = optionInLabel;
  optionInFrame.container = Control::Frame1;
  const std::vector<ControlLayout> good{optionInFrame, label, frame};
  const auto order = toolkit::BuildOrder({"good", 900, 900, good, "", kFont, kFont});
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order.back()->control, Control::Option1) << "the frame is built before its option";
}

TEST(FirstLineTest, AFieldKeepsTheFirstLineOfWhatIsPutIn) {
  struct Edit {
    const char* name;
    std::u16string_view before, after;
    std::size_t cursor;
    std::optional<std::u16string> kept;
  };
  const Edit edits[] = {
      {"lines pasted into an empty field", u"", u"1500\r\n2000", 10, u"1500"},
      {"lines pasted between two characters", u"ab", u"a1\n2b", 4, u"a1b"},
      {"lines over a selection", u"a99b", u"a1\r2b", 4, u"a1b"},
      {"a line break first keeps nothing of it", u"7", u"\n17", 2, u"7"},
      {"what is put in starts like the old text", u"ab", u"ab\nbb", 4, u"abb"},
      {"a carriage return alone ends a line", u"", u"3.5\r4", 5, u"3.5"},
      {"one line is kept whole", u"ab", u"a12b", 3, std::nullopt},
      {"a deletion", u"a12b", u"ab", 1, std::nullopt},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.name);
    const std::optional<toolkit::FieldEdit> kept =
        toolkit::KeepFirstLineOfEdit(edit.before, edit.after, edit.cursor);
    ASSERT_EQ(kept.has_value(), edit.kept.has_value());
    if (kept) {
      std::u16string text(edit.before);
      EXPECT_EQ(text.replace(kept->start, kept->end - kept->start, kept->text), *edit.kept);
    }
  }
  EXPECT_EQ(toolkit::FirstLine(u"1500\r\n2000"), u"1500");
  EXPECT_EQ(toolkit::FirstLine(u"1500"), u"1500");
}

// The dispatch's rules on a window in memory: what runs, in which order,
// and when the window closes.
TEST(EventDispatchTest, EachEventWaitsForTheRunningHandlerAndOptionsRaiseOnlyWhenSelected) {
  using toolkit::CloseReason;
  using toolkit::Option;
  struct Road {
    const char* name;
    // What the user and the desktop do, given the dispatch, the window in
    // memory and the log; may set handlers' bodies in log.on.
    std::function<void(toolkit::EventDispatch&, ui_test::RecordingToolkit&,
                       toolkit_test::EventLog&)>
        act;
    std::vector<std::string> entries;  // after Form_Load
    int closes;
  };
  const auto answer = [](toolkit_test::EventLog& log, bool yes) {
    log.entries.push_back(yes ? "yes" : "no");
  };
  const Road roads[] = {
      {"a close request while a handler runs waits for it",
       [&](auto& dispatch, auto&, auto& log) {
         log.on["Command1_Click"] = [&] {
           answer(log, dispatch.MayClose(CloseReason::ControlMenu));
           answer(log, dispatch.MayClose(CloseReason::ControlMenu));
           log.entries.push_back("box closed");
         };
         dispatch.Click(Control::Command1);
       },
       {"Command1_Click", "no", "no", "box closed", "Form_QueryUnload:ControlMenu"},
       1},
      {"a click while a handler runs waits for it",
       [](auto& dispatch, auto&, auto& log) {
         log.on["Command1_Click"] = [&] {
           dispatch.Click(Control::Command2);
           log.entries.push_back("box closed");
         };
         dispatch.Click(Control::Command1);
       },
       {"Command1_Click", "box closed", "Command2_Click"},
       0},
      {"Command2 unloads at once, and a close while it is asked is refused",
       [&](auto& dispatch, auto&, auto& log) {
         log.on["Command2_Click"] = [&] { dispatch.Unload(); };
         log.on["Form_QueryUnload"] = [&] {
           answer(log, dispatch.MayClose(CloseReason::ControlMenu));
           dispatch.Unload();
         };
         dispatch.Click(Control::Command2);
       },
       {"Command2_Click", "Form_QueryUnload:Code", "no"},
       1},
      {"an option raises when a click selects it, not when it is selected already",
       [](auto& dispatch, auto& window, auto&) {
         dispatch.Click(Control::Option1);  // not selected: no event
         window.selected.insert(Option::Option1);
         dispatch.Click(Control::Option1);
         dispatch.Click(Control::Option1);
         window.selected = {Option::Option2};  // the toolkit moved the selection
         dispatch.Click(Control::Option2);
         window.selected = {Option::Option1};
         dispatch.Click(Control::Option1);
       },
       {"Option1_Click", "Option2_Click", "Option1_Click"},
       0},
      {"an option unselected by Deselect raises again",
       [](auto& dispatch, auto& window, auto&) {
         window.selected.insert(Option::Option5);
         dispatch.Click(Control::Option5);
         window.selected.clear();
         dispatch.Deselected(Option::Option5);
         window.selected.insert(Option::Option5);
         dispatch.Click(Control::Option5);
       },
       {"Option5_Click", "Option5_Click"},
       0},
      {"a cancelled end of the session leaves the window open",
       [&](auto& dispatch, auto&, auto& log) {
         answer(log, dispatch.MayEndSession());
         dispatch.EndSession(false);
         dispatch.Click(Control::Command1);
       },
       {"Form_QueryUnload:Session", "yes", "Command1_Click"},
       0},
      {"the session's end closes the window once",
       [&](auto& dispatch, auto&, auto& log) {
         answer(log, dispatch.MayEndSession());
         dispatch.EndSession(true);
         dispatch.EndSession(true);
         answer(log, dispatch.MayClose(CloseReason::ControlMenu));
       },
       {"Form_QueryUnload:Session", "yes", "yes"},
       1},
      {"a close waiting for a handler outlives a cancelled end of the session",
       [&](auto& dispatch, auto&, auto& log) {
         log.on["Command1_Click"] = [&] {
           answer(log, dispatch.MayClose(CloseReason::ControlMenu));
           answer(log, dispatch.MayEndSession());
           dispatch.EndSession(false);
           log.entries.push_back("box closed");
         };
         dispatch.Click(Control::Command1);
       },
       {"Command1_Click", "no", "yes", "box closed", "Form_QueryUnload:ControlMenu"},
       1},
      {"the session's question waits for the handler, and a cancelled end then leaves the window open",
       [&](auto& dispatch, auto&, auto& log) {
         log.on["Command1_Click"] = [&] {
           answer(log, dispatch.MayEndSession());
           log.entries.push_back("box closed");
         };
         dispatch.Click(Control::Command1);
         dispatch.EndSession(false);
         dispatch.Click(Control::Command2);
       },
       {"Command1_Click", "yes", "box closed", "Form_QueryUnload:Session", "Command2_Click"},
       0},
      {"the session's question waits for the handler, and the end then closes the window",
       [&](auto& dispatch, auto&, auto& log) {
         log.on["Command1_Click"] = [&] { answer(log, dispatch.MayEndSession()); };
         dispatch.Click(Control::Command1);
         dispatch.EndSession(true);
       },
       {"Command1_Click", "yes", "Form_QueryUnload:Session"},
       1},
      {"a close that came after the session's question waits for the session's end",
       [&](auto& dispatch, auto&, auto& log) {
         log.on["Command1_Click"] = [&] {
           answer(log, dispatch.MayEndSession());
           answer(log, dispatch.MayClose(CloseReason::ControlMenu));
         };
         dispatch.Click(Control::Command1);
         log.entries.push_back("the session goes on");
         dispatch.EndSession(false);
       },
       {"Command1_Click", "yes", "no", "Form_QueryUnload:Session", "the session goes on",
        "Form_QueryUnload:ControlMenu"},
       1},
      {"a handler's cancel refuses the session's end",
       [&](auto& dispatch, auto&, auto& log) {
         log.cancelUnload = true;
         answer(log, dispatch.MayEndSession());
         dispatch.EndSession(true);
       },
       {"Form_QueryUnload:Session", "no"},
       0},
  };
  for (const Road& road : roads) {
    SCOPED_TRACE(road.name);
    ui_test::RecordingToolkit window;
    toolkit_test::EventLog log;
    toolkit_test::RecordingEvents events(log);
    int closes = 0;
    toolkit::EventDispatch dispatch(window, toolkit_test::DescribeForTest, [&] {
      ++closes;
      return true;
    });
    dispatch.Load(events);
    log.entries.clear();
    road.act(dispatch, window, log);
    EXPECT_EQ(log.entries, road.entries);
    EXPECT_EQ(closes, road.closes);
    EXPECT_EQ(dispatch.IsUnloaded(), road.closes == 1);
  }
}

// Form2's layout: which button Enter and Esc press, and where Tab goes.
TEST(DialogKeysTest, KeysPressTheirButtonsAndTabGoesFromStopToStop) {
  using enum toolkit::Control;
  enum class Key { Enter, Escape, Tab, ShiftTab };
  struct Press {
    const char* name;
    Key key;
    std::optional<Control> focused;
    std::vector<Control> selected;
    std::optional<Control> expected;
  };
  const Press presses[] = {
      {"Enter in a field presses the default button", Key::Enter, Text1, {}, Command1},
      {"Enter on an option", Key::Enter, Option5, {}, Command1},
      {"Enter on the focused Command2 presses Command2", Key::Enter, Command2, {}, Command2},
      {"Enter with nothing focused", Key::Enter, std::nullopt, {}, Command1},
      {"Esc on the focused Command1 presses the cancel button", Key::Escape, Command1, {},
       Command2},
      {"Tab from the last field wraps to Frame1's first option", Key::Tab, Text4, {}, Option1},
      {"an option group is one stop", Key::Tab, Option1, {}, Option4},
      {"the group's stop is its selected option", Key::Tab, Text4, {Option3}, Option3},
      {"Shift+Tab into a group stops at its selected option", Key::ShiftTab, Text1, {Option6},
       Option6},
      {"Tab passes over a disabled field", Key::Tab, Text1, {Option1}, Text3},
      {"Tab from a field follows the tab index, not the rows", Key::Tab, Text2, {}, Text3},
      {"Shift+Tab from the first stop wraps to the last", Key::ShiftTab, Option1, {}, Text4},
      {"Tab from nowhere goes to the first stop", Key::Tab, std::nullopt, {}, Option1},
  };
  const std::span<const ControlLayout> rows = ui::kForm2Controls;
  for (const Press& press : presses) {
    SCOPED_TRACE(press.name);
    const auto selected = [&](Control c) {
      return std::find(press.selected.begin(), press.selected.end(), c) != press.selected.end();
    };
    // A rotational kind on the input side closes Text2.
    const auto enabled = [&](Control c) { return !(c == Text2 && selected(Option1)); };
    const std::optional<Control> got =
        press.key == Key::Enter    ? toolkit::ButtonForKey(rows, toolkit::DialogKey::Enter, press.focused)
        : press.key == Key::Escape ? toolkit::ButtonForKey(rows, toolkit::DialogKey::Escape, press.focused)
                                   : toolkit::NextTabStop(rows, press.focused, press.key == Key::Tab,
                                                          selected, enabled);
    EXPECT_EQ(got, press.expected);
  }
}

TEST(Utf16Test, WellFormedUtf8IsConvertedAndMalformedRefused) {
  struct Case {
    const char* name;
    std::string_view utf8;
    std::optional<std::u16string> utf16;
  };
  const Case cases[] = {
      {"empty", "", u""},
      {"ASCII", "Enabled", u"Enabled"},
      {"two bytes", "\xC3\xA9", u"\u00E9"},
      {"three bytes, full-width", "传动比为：", u"传动比为："},
      {"four bytes, a surrogate pair", "\xF0\x9F\x94\xA7", u"\U0001F527"},
      {"a byte-order mark is kept", "\xEF\xBB\xBF" "1", u"\uFEFF1"},
      {"NUL inside", std::string_view("1\0" "2", 3), std::u16string(u"1\0" u"2", 3)},
      {"a lone continuation byte", "\x80", std::nullopt},
      {"a byte UTF-8 never uses", "1\xFF", std::nullopt},
      {"cut short", "\xE4\xBC", std::nullopt},
      {"cut short by an ASCII byte", "\xE4\xBC" "1", std::nullopt},
      {"overlong two bytes", "\xC0\xAF", std::nullopt},
      {"overlong three bytes", "\xE0\x80\xAF", std::nullopt},
      {"a surrogate", "\xED\xA0\x80", std::nullopt},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(toolkit::Utf8ToUtf16(c.utf8), c.utf16);
    if (c.utf16) {
      EXPECT_EQ(toolkit::Utf16ToUtf8(*c.utf16), c.utf8);
    }
  }
  EXPECT_EQ(toolkit::Utf16ToUtf8(u"1\xD800" "2"), "1\xEF\xBF\xBD" "2");
  EXPECT_EQ(toolkit::Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

}  // namespace
