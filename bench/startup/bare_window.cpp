// The floor for the program's start-up: a bare Qt 6 window with one label of
// Chinese text, set in the fonts the program uses (the interface font as the
// application's font, the label font on the label), with the program's icon
// as its window icon, and nothing else.
//
//   bare_window      shows "输入速度v（米/秒）：" in a 457 x 307 window
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QWidget>

#include "toolkit/qt/application.h"
#include "toolkit/qt/song_font.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  toolkit::qt::UseChineseInterfaceFont();

  QWidget window;
  window.setWindowTitle(QStringLiteral("bare window"));
  window.setFixedSize(457, 307);
  window.setWindowIcon(QIcon(QStringLiteral(":/icons/transmission-ratio.ico")));

  QLabel label(QStringLiteral("输入速度v（米/秒）："), &window);
  label.setFont(toolkit::qt::SongFont({"宋体", 9.75, 400, 134}));
  label.setGeometry(56, 144, 217, 17);

  window.show();
  return QApplication::exec();
}
