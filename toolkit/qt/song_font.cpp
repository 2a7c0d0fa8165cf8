#include "toolkit/qt/song_font.h"

namespace toolkit::qt {

QStringList SongFaceFamilies(std::string_view face) {
  QStringList families;
  for (const std::string_view family : FaceFamilies(face)) {
    families << QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size()));
  }
  return families;
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
