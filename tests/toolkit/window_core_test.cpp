// The toolkit core that every binding builds on: which layouts it refuses,
// and the UTF-8 it lets through to a toolkit.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/utf16.h"
#include "toolkit/window_core.h"

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
