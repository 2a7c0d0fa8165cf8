// The tests run on Qt's offscreen platform unless QT_QPA_PLATFORM names
// another (QT_QPA_PLATFORM=xcb with a display, to watch them).
#include <QApplication>

#include <gtest/gtest.h>

#include "toolkit/qt/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  toolkit::qt::UseChineseTranslations();
  toolkit::qt::UseChineseInterfaceFont();
  return RUN_ALL_TESTS();
}
