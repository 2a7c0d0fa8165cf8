#include "toolkit/qt/song_font.h"

namespace toolkit::qt {

QStringList SongFaceFamilies(std::string_view face) {
  return {QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size())),
          QStringLiteral("SimSun"), QStringLiteral("AR PL SungtiL GB"),
          QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
}

QFont SongFont(const FontSpec& spec) {
  QFont font;
  font.setFamilies(SongFaceFamilies(spec.face));
  font.setPointSizeF(spec.points);
  font.setWeight(static_cast<QFont::Weight>(spec.weight));
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace toolkit::qt
