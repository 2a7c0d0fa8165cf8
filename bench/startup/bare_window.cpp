// The floor for the program's start-up: a bare Qt 6 window with one label of
// Chinese text, set in the fonts the program uses (the interface font as the
// application's font, the label font on the label), and nothing else.
//
//   bare_window      shows "输入速度v（米/秒）：" in a 457 x 307 window
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QStringList>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);

  QFont interfaceFont = QApplication::font();
  QStringList families{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                       QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL SungtiL GB")};
  families += interfaceFont.families();
  interfaceFont.setFamilies(families);
  interfaceFont.setPointSizeF(9);
  QApplication::setFont(interfaceFont);

  QWidget window;
  window.setWindowTitle(QStringLiteral("bare window"));
  window.setFixedSize(457, 307);

  QFont labelFont;
  labelFont.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                         QStringLiteral("AR PL SungtiL GB"), QStringLiteral("Noto Serif CJK SC"),
                         QStringLiteral("Noto Sans CJK SC")});
  labelFont.setPointSizeF(9.75);
  QLabel label(QStringLiteral("输入速度v（米/秒）："), &window);
  label.setFont(labelFont);
  label.setGeometry(56, 144, 217, 17);

  window.show();
  return QApplication::exec();
}
