// The Win32 window against its layout: classes, styles, captions, fonts and
// pixels at the DPI of the Wine prefix the test runs in, the frame, the tab
// order, the default and cancel buttons, and the cursors.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
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

std::string Name(Control control) { return std::string(toolkit::ControlName(control)); }

// The DPI of the Wine prefix this run is in: TR_WINE_DPI, which chooses the
// prefix, or 96.
// WM_GETDPISCALEDSIZE, which the Windows 7 headers hide.
constexpr UINT kGetDpiScaledSize = 0x02E4;

int ExpectedDpi() {
  const char* dpi = std::getenv("TR_WINE_DPI");
  return dpi != nullptr ? std::atoi(dpi) : 96;
}

// The DPI functions a window is made with: this Windows' own, or none, as on
// Windows 7; the window comes out the same, pixel for pixel.
struct DpiFunctionsCase {
  const char* name;
  toolkit::win32::DpiFunctions functions;
};
const DpiFunctionsCase kDpiFunctionsCases[] = {
    {"ThisWindows", toolkit::win32::DpiFunctions::OfThisWindows()},
    {"AsOnWindows7", toolkit::win32::DpiFunctions{}},
};

void PrintTo(const DpiFunctionsCase& dpiFunctionsCase, std::ostream* out) {
  *out << dpiFunctionsCase.name;
}

class Win32LayoutTest : public Win32WindowTest,
                        public ::testing::WithParamInterface<DpiFunctionsCase> {
 protected:
  Win32LayoutTest() { dpiFunctions = GetParam().functions; }
};

INSTANTIATE_TEST_SUITE_P(DpiFunctions, Win32LayoutTest, ::testing::ValuesIn(kDpiFunctionsCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The face and the character set that Windows really chose for `font`.
struct ChosenFace {
  std::wstring face;
  int charset;
};
ChosenFace ChosenFaceOf(HFONT font) {
  HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(screen, LF_FACESIZE, face);
  const ChosenFace chosen{face, GetTextCharset(screen)};
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return chosen;
}

TEST_P(Win32LayoutTest, TheWindowIsLaidOutAtTheDpiOfItsScreen) {
  EXPECT_EQ(Window().Dpi(), ExpectedDpi());
  const toolkit::win32::DpiFunctions& wine = toolkit::win32::DpiFunctions::OfThisWindows();
  ASSERT_NE(wine.getDpiForMonitor, nullptr) << "Wine has the functions of Windows 10";
  ASSERT_NE(wine.adjustWindowRectExForDpi, nullptr);
  ASSERT_NE(wine.getSystemMetricsForDpi, nullptr);
  ASSERT_NE(wine.systemParametersInfoForDpi, nullptr);
  EXPECT_EQ(wine.MonitorDpi(MonitorFromWindow(Window().Handle(), MONITOR_DEFAULTTONEAREST)),
            ExpectedDpi());
}

TEST_P(Win32LayoutTest, EveryControlIsAStandardControlOfItsKind) {
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

// Place, caption, pointer and the field a label names are checked with
// every binding's (cases_test.cpp); here, the face Windows draws each in.
TEST_P(Win32LayoutTest, EveryControlHasItsFont) {
  const int dpi = ExpectedDpi();
  LOGFONTW messageFont{};
  ASSERT_TRUE(toolkit::win32::DpiFunctions::OfThisWindows().MessageFont(messageFont, dpi));
  HFONT desktopFont = CreateFontIndirectW(&messageFont);
  const ChosenFace desktopFace = ChosenFaceOf(desktopFont);
  DeleteObject(desktopFont);
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    HWND control = Hwnd(row.control);
    // What the control is drawn in: the face Windows chose for its font.
    const auto controlFont = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const ChosenFace chosen = ChosenFaceOf(controlFont);
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(controlFont, sizeof font, &font));
    if (row.font == toolkit::FontRole::Window) {
      EXPECT_EQ(chosen.face, desktopFace.face);
      EXPECT_EQ(font.lfHeight, messageFont.lfHeight);
      continue;
    }
    const toolkit::FontSpec& spec =
        row.font == toolkit::FontRole::Label ? ui::kLabelFont : ui::kFieldFont;
    // 宋体 by either of its names; Wine gives the name asked for to the Song
    // face its prefix puts in its place, and another name to any other.
    EXPECT_TRUE(chosen.face == L"宋体" || chosen.face == L"SimSun")
        << win32_test::Narrow(chosen.face);
    EXPECT_EQ(chosen.charset, GB2312_CHARSET);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfHeight, -toolkit::PointsToPixels(spec.points, dpi));
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
  }
}

TEST_P(Win32LayoutTest, HandCountedPixelsAtThisDpi) {
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

// Moved to a screen of another DPI, the window is laid out again: places,
// fonts and its own size, and back again. Windows asks for the size first
// (WM_GETDPISCALEDSIZE); its suggestion in WM_DPICHANGED gives the place,
// here with a size of its own scaling that the window must not take.
TEST_F(Win32WindowTest, ADpiChangeLaysTheControlsOutAgain) {
  HWND form = Window().Handle();
  struct Step {
    int dpi;
    RECT text4;
    SIZE client;
  };
  for (const Step step : {Step{144, {446, 350, 568, 388}, {686, 461}},
                          Step{96, {297, 233, 378, 258}, {457, 307}}}) {
    SCOPED_TRACE(step.dpi);
    SIZE asked{0, 0};
    EXPECT_TRUE(SendMessageW(form, kGetDpiScaledSize, step.dpi, reinterpret_cast<LPARAM>(&asked)));
    RECT suggested{100, 120, 100 + toolkit::TwipsToPixels(6855, step.dpi),
                   120 + toolkit::TwipsToPixels(4605, step.dpi)};
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
    EXPECT_EQ(frame.top, suggested.top);
    RECT wanted{0, 0, step.client.cx, step.client.cy};
    ASSERT_TRUE(toolkit::win32::DpiFunctions::OfThisWindows().AdjustWindowRect(
        wanted, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)),
        static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE)), step.dpi));
    EXPECT_EQ(asked.cx, wanted.right - wanted.left) << "the size it gave Windows";
    EXPECT_EQ(asked.cy, wanted.bottom - wanted.top);
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, step.client.cx);
    EXPECT_EQ(client.bottom, step.client.cy);
  }
}

// A frame's options are one group for the dialog keys only when nothing
// stands between them in the stacking order, which follows the tab order.
TEST_F(Win32WindowTest, LayoutsThatWouldSplitAnOptionGroupAreRefused) {
  using toolkit::ControlKind;
  using toolkit::FontRole;
  const auto frame = [](Control control, int tab) {
    return ControlLayout{control, ControlKind::Frame, std::nullopt, 120, 120, 3255, 1815, tab,
                         "frame", FontRole::Window};
  };
  const auto option = [](Control control, Control inFrame, int tab) {
    return ControlLayout{control, ControlKind::OptionButton, inFrame, 120, 240, 1695, 495, tab,
                         "option", FontRole::Window};
  };
  const ControlLayout text{Control::Text1, ControlKind::TextBox, std::nullopt, 4455, 2100, 1215,
                           375, 5, "", FontRole::Field};
  ControlLayout labelOfAnOption{Control::Label1, ControlKind::Label, std::nullopt, 840, 2160,
                                3255, 255, 6, "label", FontRole::Label};
  labelOfAnOption.buddy = Control::Option1;
  struct Design {
    const char* name;
    std::vector<ControlLayout> rows;
    bool refused;
  };
  const Design table[] = {
      {"each frame's options one after another",
       {frame(Control::Frame1, 0), option(Control::Option1, Control::Frame1, 1),
        option(Control::Option2, Control::Frame1, 2), frame(Control::Frame2, 3),
        option(Control::Option4, Control::Frame2, 4), text},
       false},
      {"Frame2's option between Frame1's",
       {frame(Control::Frame1, 0), option(Control::Option1, Control::Frame1, 1),
        frame(Control::Frame2, 2), option(Control::Option4, Control::Frame2, 3),
        option(Control::Option2, Control::Frame1, 4), text},
       true},
      {"a field between Frame1's options",
       {frame(Control::Frame1, 0), option(Control::Option1, Control::Frame1, 1),
        option(Control::Option2, Control::Frame1, 6), text},
       true},
      {"a label that names an option",
       {frame(Control::Frame1, 0), option(Control::Option1, Control::Frame1, 1),
        option(Control::Option2, Control::Frame1, 2), text, labelOfAnOption},
       true},
  };
  for (const Design& design : table) {
    SCOPED_TRACE(design.name);
    const toolkit::WindowLayout layout{"layout", 6855, 4605, design.rows, "", ui::kLabelFont,
                                       ui::kFieldFont};
    if (design.refused) {
      EXPECT_THROW((toolkit::win32::Win32Window{layout, DescribeForTest}), toolkit::ToolkitFailure);
    } else {
      EXPECT_NO_THROW((toolkit::win32::Win32Window{layout, DescribeForTest}));
    }
  }
}

TEST_P(Win32LayoutTest, TheWindowIsFixedCentredAndHasItsIcon) {
  HWND form = Window().Handle();
  const int dpi = ExpectedDpi();
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, toolkit::TwipsToPixels(6855, dpi));
  EXPECT_EQ(client.bottom, toolkit::TwipsToPixels(4605, dpi));
  EXPECT_EQ(TextOf(form), Wide("传动比计算（作者：Velnor）"));

  const auto style = static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE));
  constexpr DWORD kBoxes = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  EXPECT_EQ(style & kBoxes, kBoxes);
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

}  // namespace
}  // namespace toolkit_win32_test
