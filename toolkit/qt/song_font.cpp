#include "toolkit/qt/song_font.h"

namespace toolkit::qt {

QStringList SongFaceFamilies() {
  return {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL SungtiL GB"),
          QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
}

QFont SongFont(qreal pointSize) {
  QFont font;
  font.setFamilies(SongFaceFamilies());
  font.setPointSizeF(pointSize);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace toolkit::qt
