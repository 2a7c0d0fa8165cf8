#include "toolkit/window_layout.h"

#include <array>

namespace toolkit {
namespace {

// 宋体 by its English name, then the Song faces of Linux (Debian's
// fonts-arphic-gbsn00lp) and of macOS and iOS, then faces of the same
// coverage where no Song face is installed. A browser looks up each face
// that is missing, at every size it is asked for: the faces that a system
// lacks come after the one it has, as far as the order allows.
constexpr std::array<std::string_view, 6> kSongSubstitutes{
    "SimSun", "AR PL SungtiL GB", "Songti SC", "STSong", "Noto Serif CJK SC", "Noto Sans CJK SC"};

}  // namespace

std::vector<std::string_view> FaceFamilies(std::string_view face) {
  std::vector<std::string_view> families{face};
  if (face == "宋体" || face == "SimSun") {
    for (const std::string_view substitute : kSongSubstitutes) {
      if (substitute != face) families.push_back(substitute);
    }
  }
  return families;
}

}  // namespace toolkit
