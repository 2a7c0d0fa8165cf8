#pragma once
// Starting the program on Qt: the display check, the application, its
// translations and interface font, then the start-up that every binding
// shares (RunBoundWindow). toolkit::RunWindow (toolkit/program.h) is defined
// here for the Qt build.

#include "toolkit/program.h"
#include "toolkit/window_layout.h"

namespace toolkit::qt {

// Qt's own strings, such as a message box's OK and a text field's context
// menu, in Simplified Chinese like every text of the window, whatever the
// desktop's locale: Qt's translations qtbase_zh_CN. Where they are not
// installed, Qt's strings stay English and nothing is said.
void UseChineseTranslations();

// Makes the application's default font the interface font of a
// Simplified-Chinese desktop: the Song face (or its substitute) put before the
// desktop's own families, at 9 points, the size the twips layout was drawn for.
void UseChineseInterfaceFont();

}  // namespace toolkit::qt
