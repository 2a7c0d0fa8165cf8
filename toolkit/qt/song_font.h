#pragma once
// The Song face of Simplified-Chinese systems, "宋体", or where it is missing
// the first installed substitute that covers GB2312 text.

#include <QFont>
#include <QStringList>

#include <string_view>

#include "toolkit/window_layout.h"

namespace toolkit::qt {

// `face`, then the faces that stand in for it where it is missing
// (FaceFamilies).
QStringList SongFaceFamilies(std::string_view face = "宋体");

// The font of `spec` in its face or a substitute: its size and weight,
// upright and plain. Qt picks faces by what they cover, so the character set
// is not asked for.
QFont SongFont(const FontSpec& spec);

}  // namespace toolkit::qt
