#include "toolkit/qt/application.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QStringList>
#include <QWidget>

#include <cstdio>
#include <exception>

#include "toolkit/qt/song_font.h"

namespace toolkit::qt {
namespace {

constexpr qreal kInterfacePointSize = 9;

bool IsSet(const char* variable) { return !qEnvironmentVariableIsEmpty(variable); }

}  // namespace

std::optional<std::string> MissingDisplayMessage(std::string_view program) {
  if (IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) {
    return std::nullopt;
  }
  const std::string name(program);
  return name + ": no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set);" +
         " without a desktop, run it under Xvfb: xvfb-run -a " + name;
}

void UseChineseInterfaceFont() {
  QFont font = QApplication::font();
  font.setFamilies(SongFaceFamilies() + font.families());
  font.setPointSizeF(kInterfacePointSize);
  QApplication::setFont(font);
}

int RunEventLoop(const WindowLayout& layout, const HandlerFactory& makeHandlers,
                 FailureDescriber describe) {
  QtWindow window(layout, describe);
  QApplication::setWindowIcon(window.Widget().windowIcon());
  const std::unique_ptr<WindowEvents> events = makeHandlers(window);
  if (events == nullptr) throw ToolkitFailure("no handlers were made for the window");
  window.Open(*events);
  if (window.IsUnloaded()) return 0;  // Form_Load unloaded it
  return QApplication::exec();
}

int RunWindow(int argc, char** argv, const WindowLayout& layout, HandlerFactory makeHandlers,
              FailureDescriber describe) {
  char fallbackName[] = "transmission-ratio";
  char* program = argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName;
  if (const auto missing = MissingDisplayMessage(program)) {
    std::fprintf(stderr, "%s\n", missing->c_str());
    return 1;
  }
  // Qt reads its own options from the arguments; the program takes none.
  int qtArgc = 1;
  char* qtArgv[] = {program, nullptr};
  QApplication application(qtArgc, qtArgv);
  UseChineseInterfaceFont();
  try {
    return RunEventLoop(layout, makeHandlers, describe);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s: cannot open the window: %s\n", program, failure.what());
    return 1;
  }
}

}  // namespace toolkit::qt
