// The Win32 window against its layout: classes, styles, captions, fonts and
// pixels at the DPI of the Wine prefix the test runs in, the frame, the tab
// order, the default and cancel buttons, and the cursors.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "window_fixture.h"
#include "toolkit/utf16.h"
#include "toolkit/window_layout.h"
#include "ui/form2_layout.h"

namespace toolkit_win32_test {
namespace {

using toolkit::Control;
using toolkit::ControlLayout;

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = toolkit::Utf8ToUtf16(utf8).value();
  return {text.begin(), text.end()};
}

std::wstring Text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string Name(Control control) { return std::string(toolkit::ControlName(control)); }

// The DPI of the Wine prefix this run is in: TR_WINE_DPI, which chooses the
// prefix, or 96.
int ExpectedDpi() {
  const char* dpi = std::getenv("TR_WINE_DPI");
  return dpi != nullptr ? std::atoi(dpi) : 96;
}

TEST_F(Win32WindowTest, TheWindowIsLaidOutAtTheDpiOfItsScreen) {
  EXPECT_EQ(Window().Dpi(), ExpectedDpi());
  EXPECT_EQ(static_cast<int>(GetDpiForWindow(Window().Handle())), ExpectedDpi());
}

TEST_F(Win32WindowTest, EveryControlIsAStandardControlOfItsKind) {
  struct Expected {
    Control control;
    const wchar_t* windowClass;
    DWORD type;  // BS_ or SS_ type, or an ES_ style
    DWORD group;  // WS_GROUP | WS_TABSTOP as laid out, before any selection
  };
  const Expected table[] = {
      {Control::Frame1, L"Button", BS_GROUPBOX, WS_GROUP},
      {Control::Option1, L"Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {Control::Option2, L"Button", BS_AUTORADIOBUTTON, 0},
      {Control::Option3, L"Button", BS_AUTORADIOBUTTON, 0},
      {Control::Frame2, L"Button", BS_GROUPBOX, WS_GROUP},
      {Control::Option4, L"Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {Control::Option5, L"Button", BS_AUTORADIOBUTTON, 0},
      {Control::Option6, L"Button", BS_AUTORADIOBUTTON, 0},
      {Control::Label1, L"Static", SS_LEFT, WS_GROUP},
      {Control::Label2, L"Static", SS_LEFT, WS_GROUP},
      {Control::Label3, L"Static", SS_LEFT, WS_GROUP},
      {Control::Label4, L"Static", SS_LEFT, WS_GROUP},
      {Control::Text1, L"Edit", ES_AUTOHSCROLL, WS_GROUP | WS_TABSTOP},
      {Control::Text2, L"Edit", ES_AUTOHSCROLL, WS_GROUP | WS_TABSTOP},
      {Control::Text3, L"Edit", ES_AUTOHSCROLL, WS_GROUP | WS_TABSTOP},
      {Control::Text4, L"Edit", ES_AUTOHSCROLL, WS_GROUP | WS_TABSTOP},
      {Control::Command1, L"Button", BS_DEFPUSHBUTTON, WS_GROUP | WS_TABSTOP},
      {Control::Command2, L"Button", BS_PUSHBUTTON, WS_GROUP | WS_TABSTOP},
  };
  for (const Expected& expected : table) {
    SCOPED_TRACE(Name(expected.control));
    HWND control = Hwnd(expected.control);
    wchar_t windowClass[32] = {};
    GetClassNameW(control, windowClass, 32);
    EXPECT_STREQ(windowClass, expected.windowClass);
    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    const DWORD type = expected.windowClass == std::wstring(L"Edit") ? style & ES_AUTOHSCROLL
                       : expected.windowClass == std::wstring(L"Static") ? style & SS_TYPEMASK
                                                                        : style & BS_TYPEMASK;
    EXPECT_EQ(type, expected.type);
    EXPECT_EQ(style & (WS_GROUP | WS_TABSTOP), expected.group);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(IsWindowEnabled(control));
    EXPECT_EQ(GetParent(control), Window().Handle());
  }
  EXPECT_EQ(SendMessageW(Hwnd(Control::Text1), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE)
      << "the fields take text of any length";
  EXPECT_TRUE(GetWindowLongW(Hwnd(Control::Label1), GWL_STYLE) & SS_NOPREFIX);
}

TEST_F(Win32WindowTest, EveryControlHasItsCaptionFontAndPixels) {
  const int dpi = ExpectedDpi();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi));
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    HWND control = Hwnd(row.control);
    EXPECT_EQ(Text(control), Wide(row.caption));

    int left = row.left;
    int top = row.top;
    if (row.container) {
      const auto frame = std::ranges::find(ui::kForm2Controls, *row.container, &ControlLayout::control);
      left += frame->left;
      top += frame->top;
    }
    const RECT rect = ClientRect(Window().Handle(), control);
    EXPECT_EQ(rect.left, toolkit::TwipsToPixels(left, dpi));
    EXPECT_EQ(rect.top, toolkit::TwipsToPixels(top, dpi));
    EXPECT_EQ(rect.right - rect.left, toolkit::TwipsToPixels(row.width, dpi));
    EXPECT_EQ(rect.bottom - rect.top, toolkit::TwipsToPixels(row.height, dpi));

    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                           sizeof font, &font));
    if (row.font == toolkit::FontRole::Window) {
      EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
      EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
      continue;
    }
    const toolkit::FontSpec& spec =
        row.font == toolkit::FontRole::Label ? ui::kLabelFont : ui::kFieldFont;
    EXPECT_EQ(font.lfFaceName, std::wstring(L"宋体"));
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfHeight, -toolkit::PointsToPixels(spec.points, dpi));
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
  }
}

TEST_F(Win32WindowTest, HandCountedPixelsAtThisDpi) {
  struct Pixels {
    int dpi;
    Control control;
    RECT rect;
    int labelHeight;  // the label font's character height
  };
  const Pixels table[] = {
      {96, Control::Option6, {240, 88, 441, 121}, 13},
      {96, Control::Text4, {297, 233, 378, 258}, 13},
      {144, Control::Option6, {360, 132, 662, 182}, 20},
      {144, Control::Text4, {446, 350, 568, 388}, 20},
  };
  for (const Pixels& expected : table) {
    if (expected.dpi != ExpectedDpi()) continue;
    SCOPED_TRACE(Name(expected.control));
    const RECT rect = ClientRect(Window().Handle(), Hwnd(expected.control));
    EXPECT_EQ(rect.left, expected.rect.left);
    EXPECT_EQ(rect.top, expected.rect.top);
    EXPECT_EQ(rect.right, expected.rect.right);
    EXPECT_EQ(rect.bottom, expected.rect.bottom);
    EXPECT_EQ(toolkit::PointsToPixels(ui::kLabelFont.points, expected.dpi), expected.labelHeight);
  }
}

// Moved to a screen of another DPI, the window is laid out again: places
// and fonts, and back again.
TEST_F(Win32WindowTest, ADpiChangeLaysTheControlsOutAgain) {
  HWND form = Window().Handle();
  struct Step {
    int dpi;
    RECT text4;
  };
  for (const Step step : {Step{144, {446, 350, 568, 388}}, Step{96, {297, 233, 378, 258}}}) {
    SCOPED_TRACE(step.dpi);
    RECT suggested{100, 100, 100 + toolkit::TwipsToPixels(6855, step.dpi),
                   100 + toolkit::TwipsToPixels(4605, step.dpi)};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(step.dpi, step.dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(Window().Dpi(), step.dpi);
    const RECT rect = ClientRect(form, Hwnd(Control::Text4));
    EXPECT_EQ(rect.left, step.text4.left);
    EXPECT_EQ(rect.top, step.text4.top);
    EXPECT_EQ(rect.right, step.text4.right);
    EXPECT_EQ(rect.bottom, step.text4.bottom);
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(Control::Label1), WM_GETFONT, 0, 0)),
                           sizeof font, &font));
    EXPECT_EQ(font.lfHeight, -toolkit::PointsToPixels(ui::kLabelFont.points, step.dpi));
    RECT frame{};
    GetWindowRect(form, &frame);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.right, suggested.right);
  }
}

TEST_F(Win32WindowTest, TheWindowIsFixedCentredAndHasItsIcon) {
  HWND form = Window().Handle();
  const int dpi = ExpectedDpi();
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, toolkit::TwipsToPixels(6855, dpi));
  EXPECT_EQ(client.bottom, toolkit::TwipsToPixels(4605, dpi));
  EXPECT_EQ(Text(form), Wide("传动比计算（作者：Velnor）"));

  const auto style = static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) << "the user cannot size the window";
  EXPECT_EQ(GetMenu(form), nullptr);

  RECT frame{};
  GetWindowRect(form, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_LE(std::abs((frame.left + frame.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
  EXPECT_LE(std::abs((frame.top + frame.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);

  for (const WPARAM size : {ICON_BIG, ICON_SMALL}) {
    EXPECT_NE(SendMessageW(form, WM_GETICON, size, 0), 0) << "icon " << size;
  }
}

TEST_F(Win32WindowTest, TabVisitsTheControlsInTabOrderAndEachGroupOnce) {
  Window();
  SetFocus(Hwnd(Control::Text1));
  const Control forward[] = {Control::Text2,   Control::Text3,   Control::Command1,
                             Control::Command2, Control::Text4,  Control::Option1,
                             Control::Option4,  Control::Text1};
  for (const Control expected : forward) {
    Type({VK_TAB});
    EXPECT_EQ(GetFocus(), Hwnd(expected)) << "Tab to " << Name(expected);
  }
  SetFocus(Hwnd(Control::Text4));
  Type({VK_TAB}, {VK_SHIFT});
  EXPECT_EQ(GetFocus(), Hwnd(Control::Command2)) << "Shift+Tab from Text4";

  // A group with a selection is entered at the selected option.
  Click(Control::Option5);
  SetFocus(Hwnd(Control::Option1));
  Type({VK_TAB});
  EXPECT_EQ(GetFocus(), Hwnd(Control::Option5));
  EXPECT_EQ(events.entries, (std::vector<std::string>{"Form_Load", "Option5_Click"}));
}

TEST_F(Win32WindowTest, EnterAndEscPressTheDefaultCancelAndFocusedButtons) {
  struct Key {
    const char* name;
    Control focus;
    WORD key;
    const char* event;
  };
  const Key table[] = {
      {"Enter in a field", Control::Text1, VK_RETURN, "Command1_Click"},
      {"Esc in a field", Control::Text3, VK_ESCAPE, "Command2_Click"},
      {"Enter on the exit button", Control::Command2, VK_RETURN, "Command2_Click"},
      {"Enter in a field afterwards", Control::Text4, VK_RETURN, "Command1_Click"},
      {"Space on the OK button", Control::Command1, VK_SPACE, "Command1_Click"},
  };
  Window();
  for (const Key& key : table) {
    SCOPED_TRACE(key.name);
    events.entries.clear();
    SetFocus(Hwnd(key.focus));
    Pump();
    Type({key.key});
    EXPECT_EQ(events.entries, std::vector<std::string>{key.event});
  }
}

TEST_F(Win32WindowTest, OnlyThePushButtonsShowThePointingHand) {
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    const bool pointing = SendMessageW(Window().Handle(), WM_SETCURSOR,
                                       reinterpret_cast<WPARAM>(Hwnd(row.control)),
                                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != FALSE;
    EXPECT_EQ(pointing, row.kind == toolkit::ControlKind::PushButton);
    if (pointing) {
      EXPECT_EQ(GetCursor(), hand);
    }
  }
}

}  // namespace
}  // namespace toolkit_win32_test
