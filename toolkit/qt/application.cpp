#include "toolkit/qt/application.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <string>

#include "toolkit/qt/display_check.h"
#include "toolkit/qt/qt_window.h"
#include "toolkit/bound_window.h"
#include "toolkit/qt/song_font.h"

namespace toolkit::qt {
namespace {

constexpr qreal kInterfacePointSize = 9;

}  // namespace

void UseChineseTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

void UseChineseInterfaceFont() {
  QFont font = QApplication::font();
  font.setFamilies(SongFaceFamilies() + font.families());
  font.setPointSizeF(kInterfacePointSize);
  QApplication::setFont(font);
}

}  // namespace toolkit::qt

namespace toolkit {

int RunWindow(std::string_view program, const WindowLayout& layout,
              const HandlerFactory& makeHandlers, FailureDescriber describe) {
  std::string name(program.empty() ? "transmission-ratio" : program);
  if (const auto missing = qt::MissingDisplayMessage(name)) {
    std::fprintf(stderr, "%s\n", missing->c_str());
    return 1;
  }
  // Qt reads its own options from the arguments; the program takes none.
  int qtArgc = 1;
  char* qtArgv[] = {name.data(), nullptr};
  QApplication application(qtArgc, qtArgv);
  qt::UseChineseTranslations();
  qt::UseChineseInterfaceFont();
  return RunBoundWindow(
      name, [&] { return std::make_unique<qt::QtWindow>(layout, describe); }, makeHandlers);
}

}  // namespace toolkit
