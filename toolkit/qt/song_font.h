#pragma once
// The Song face of Simplified-Chinese systems, "宋体", or where it is missing
// the first installed substitute that covers GB2312 text.

#include <QFont>
#include <QStringList>

namespace toolkit::qt {

// "宋体", "SimSun", "AR PL SungtiL GB", "Noto Serif CJK SC", "Noto Sans CJK SC".
QStringList SongFaceFamilies();

// The Song face at `pointSize`, normal weight, upright, plain.
QFont SongFont(qreal pointSize);

}  // namespace toolkit::qt
