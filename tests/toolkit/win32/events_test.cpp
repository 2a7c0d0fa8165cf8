// The Win32 window's operations and events: options, fields, the three
// message boxes, every way of closing, and the general error handling.

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "window_fixture.h"
#include "calc/ratio_calculation.h"
#include "toolkit/win32/win32_window.h"
#include "ui/form2_layout.h"

namespace toolkit_win32_test {
namespace {

using toolkit::Control;
using toolkit::Option;
using toolkit::TextField;
using Entries = std::vector<std::string>;

// What `window` is, for messages: its class and its text.
std::string Describe(HWND window) {
  return window == nullptr ? "nothing" : win32_test::Narrow(ClassOf(window) + L" " + TextOf(window));
}

TEST_F(Win32WindowTest, LoadComesBeforeTheWindowShowsAndNothingIsSelected) {
  events.on["Form_Load"] = [&] {
    events.entries.push_back(IsWindowVisible(Window().Handle()) ? "shown" : "not shown yet");
  };
  Window();
  EXPECT_EQ(events.entries, (Entries{"Form_Load", "not shown yet"}));
  EXPECT_TRUE(IsWindowVisible(Window().Handle()));
  for (const Option option : {Option::Option1, Option::Option2, Option::Option3, Option::Option4,
                              Option::Option5, Option::Option6}) {
    EXPECT_FALSE(Window().IsSelected(option));
  }
  EXPECT_EQ(GetFocus(), Hwnd(Control::Option1)) << "the focus starts at the first tab stop";
}

// Deselect raises nothing; the option is selected again by a click, and its
// group stays reachable by Tab meanwhile.
TEST_F(Win32WindowTest, DeselectRaisesNothingAndLeavesTheGroupReachable) {
  Click(Control::Option4);
  Click(Control::Option2);
  events.entries.clear();
  Window().Deselect(Option::Option4);
  Window().Deselect(Option::Option2);
  Pump();
  EXPECT_EQ(events.entries, Entries{});
  EXPECT_FALSE(Window().IsSelected(Option::Option2));
  SetFocus(Hwnd(Control::Text4));
  Type({VK_TAB});
  EXPECT_EQ(GetFocus(), Hwnd(Control::Option1));
  Click(Control::Option4);
  EXPECT_EQ(events.entries, Entries{"Option4_Click"});
  EXPECT_TRUE(Window().IsSelected(Option::Option4));
}

TEST_F(Win32WindowTest, FieldsHoldExactlyTheTextGivenAndADisabledOneKeepsIt) {
  Window().SetText(TextField::Text2, "Enabled");
  Window().SetEnabled(TextField::Text2, false);
  EXPECT_FALSE(IsWindowEnabled(Hwnd(Control::Text2)));
  EXPECT_EQ(Window().GetText(TextField::Text2), "Enabled");
  Click(Control::Text2);
  Type({'7'});
  EXPECT_EQ(Window().GetText(TextField::Text2), "Enabled") << "a disabled field takes no typing";
  Window().SetEnabled(TextField::Text2, true);
  EXPECT_TRUE(IsWindowEnabled(Hwnd(Control::Text2)));

  const std::string texts[] = {"", " 1 500 ", "１５００", "3。5", "传动比为：", std::string(40000, '9')};
  for (const std::string& text : texts) {
    Window().SetText(TextField::Text3, text);
    EXPECT_EQ(Window().GetText(TextField::Text3), text);
  }
  Click(Control::Text1);
  Type({'4', '2'});
  EXPECT_EQ(Window().GetText(TextField::Text1), "42") << "typing reaches GetText";

  EXPECT_THROW(Window().SetText(TextField::Text3, "\xE4\xBC"), toolkit::ToolkitFailure);
  EXPECT_THROW(Window().SetText(TextField::Text3, std::string("1\0" "2", 3)), toolkit::ToolkitFailure);
  Window().SetCaption(toolkit::Label::Label1, "输入转速n1（转/分钟）：");
  wchar_t caption[64] = {};
  GetWindowTextW(Hwnd(Control::Label1), caption, 64);
  EXPECT_EQ(std::wstring(caption), Wide("输入转速n1（转/分钟）："));
}

TEST_F(Win32WindowTest, ShowMessageShowsOneModalBoxThatEveryUsualWayCloses) {
  const calc::RatioOutcome result =
      calc::CalculateRatio({calc::SpeedKind::RevPerMin, calc::SpeedKind::RadPerSec, "1500", "",
                            "100", ""});
  const calc::RatioOutcome incomplete =
      calc::CalculateRatio({calc::SpeedKind::RevPerMin, calc::SpeedKind::RevPerMin, "", "", "6", ""});
  const calc::RatioOutcome noKind = calc::CalculateRatio({std::nullopt, std::nullopt, "", "", "", ""});
  struct Box {
    const char* name;
    calc::RatioOutcome outcome;
    LPCWSTR icon;
    std::function<void(HWND)> close;
  };
  const Box table[] = {
      {"the result, closed by Enter", result, IDI_INFORMATION, [](HWND) { Press({VK_RETURN}); }},
      {"incomplete input, closed by Esc", incomplete, IDI_ERROR, [](HWND) { Press({VK_ESCAPE}); }},
      {"no speed kind, closed by its close box", noKind, IDI_ERROR,
       [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"the result, closed by a click on OK", result, IDI_INFORMATION,
       [](HWND box) { ClickAt(FindWindowExW(box, nullptr, L"Button", nullptr)); }},
  };
  EXPECT_EQ(result.prompt, "传动比为： 1.570796");
  Window();
  SetFocus(Hwnd(Control::Text3));
  for (const Box& expected : table) {
    SCOPED_TRACE(expected.name);
    bool seen = false;
    ExpectBox([&](HWND box) {
      seen = true;
      const SeenBox shown = Read(box);
      EXPECT_EQ(shown.title, Wide(expected.outcome.title));
      EXPECT_EQ(shown.prompt, Wide(expected.outcome.prompt));
      EXPECT_EQ(shown.icon, LoadIconW(nullptr, expected.icon));
      EXPECT_EQ(shown.buttons, 1);
      EXPECT_EQ(GetWindow(box, GW_OWNER), Window().Handle());
      EXPECT_FALSE(IsWindowEnabled(Window().Handle())) << "the box is modal";
      expected.close(box);
    });
    Window().ShowMessage(expected.outcome.prompt, expected.outcome.title, expected.outcome.icon);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(IsWindowEnabled(Window().Handle()));
    Pump();
    EXPECT_EQ(GetFocus(), Hwnd(Control::Text3)) << "the focus is where it was";
  }
  EXPECT_THROW(Window().ShowMessage("x", "y", static_cast<calc::MessageIcon>(48)),
               toolkit::ToolkitFailure);
}

// The focus stays where the user left it while the window is minimised or
// another window is active.
TEST_F(Win32WindowTest, TheFocusComesBackWhereTheUserLeftIt) {
  HWND form = Window().Handle();
  HWND other = CreateWindowExW(0, L"Static", L"another window", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                               100, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(other, SW_SHOWNOACTIVATE);
  SetWindowPos(other, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  struct Away {
    const char* name;
    std::function<void()> leave;
    std::function<void()> comeBack;
  };
  const Away table[] = {
      {"minimised and restored",
       [&] { PostMessageW(form, WM_SYSCOMMAND, SC_MINIMIZE, 0); },
       [&] { PostMessageW(form, WM_SYSCOMMAND, SC_RESTORE, 0); }},
      {"another window active and back", [&] { SetForegroundWindow(other); },
       [&] { SetForegroundWindow(form); }},
  };
  for (const Away& away : table) {
    SCOPED_TRACE(away.name);
    SetFocus(Hwnd(Control::Text3));
    Pump();
    away.leave();
    Pump(200);
    EXPECT_TRUE(IsIconic(form) || GetActiveWindow() != form) << "the window is left";
    away.comeBack();
    Pump(200);
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(GetFocus(), Hwnd(Control::Text3)) << "the focus is on " << Describe(GetFocus());
  }
  DestroyWindow(other);
}

// The other ways of closing are among every binding's cases (cases_test.cpp).
TEST_F(Win32WindowTest, TheEndOfTheSessionClosesTheWindowOnceWithStatus0) {
  EventLog log;
  RecordingEvents handlers(log);
  toolkit::win32::Win32Window window(ui::kForm2Layout, DescribeForTest);
  log.on["Form_QueryUnload"] = [&] { window.UnloadWindow(toolkit::Window::Form2); };
  window.Open(handlers);
  WaitUntilActive(window);
  log.entries.clear();
  SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(window.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(window.RunLoop(), 0);
  EXPECT_EQ(log.entries, Entries{"Form_QueryUnload:Session"});
  EXPECT_TRUE(window.IsUnloaded());
  EXPECT_FALSE(IsWindowVisible(window.Handle()));
}

// The session's end is asked first and decided after: when it does not end,
// because the handler or another program cancelled it, the window stays as it
// was, and a later close asks again.
TEST_F(Win32WindowTest, AnEndOfTheSessionThatDoesNotComeLeavesTheWindowAsItWas) {
  struct Cancelled {
    const char* name;
    bool handlerCancels;
    LRESULT answer;  // to WM_QUERYENDSESSION
  };
  const Cancelled table[] = {
      {"Form_QueryUnload cancels", true, FALSE},
      {"another program cancels", false, TRUE},
  };
  HWND form = Window().Handle();
  Window().SetText(TextField::Text1, "1500");
  Click(Control::Option2);
  for (const Cancelled& cancelled : table) {
    SCOPED_TRACE(cancelled.name);
    events.entries.clear();
    events.cancelUnload = cancelled.handlerCancels;
    EXPECT_EQ(SendMessageW(form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), cancelled.answer);
    EXPECT_TRUE(IsWindowVisible(form)) << "the window stays while the end is asked";
    SendMessageW(form, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    Pump();
    EXPECT_EQ(events.entries, Entries{"Form_QueryUnload:Session"});
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_FALSE(Window().IsUnloaded());
    EXPECT_EQ(Window().GetText(TextField::Text1), "1500");
    EXPECT_TRUE(Window().IsSelected(Option::Option2));
  }
  events.entries.clear();
  events.cancelUnload = false;
  SendMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(events.entries, Entries{"Form_QueryUnload:ControlMenu"});
  EXPECT_TRUE(Window().IsUnloaded());
}

}  // namespace
}  // namespace toolkit_win32_test
