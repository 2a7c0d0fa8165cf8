#pragma once
// What a single-line field keeps of the text put into it, for every binding.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace toolkit {

// The first line of text pasted or inserted into a single-line field:
// everything before its first line break, as a single-line field keeps it.
//   u"1500\r\n2000" -> u"1500"     u"1500" -> u"1500"     u"\n1" -> u""
std::u16string_view FirstLine(std::u16string_view text);

// An edit of a field's text: the part [start, end) of the old text replaced
// by `text`.
struct FieldEdit {
  std::size_t start, end;
  std::u16string text;
  friend bool operator==(const FieldEdit&, const FieldEdit&) = default;
};

// A single-line field whose text the user changed from `before` to `after`,
// with the cursor now at `cursor` (just after what was put in), keeps only
// the first line of what was put in. The edit of `before` that it keeps, or
// nothing when what was put in held no line break:
//   (u"ab", u"a1\n2b", 4) -> {1, 1, u"1"}     (u"ab", u"a1b", 2) -> nullopt
std::optional<FieldEdit> KeepFirstLineOfEdit(std::u16string_view before, std::u16string_view after,
                                             std::size_t cursor);

}  // namespace toolkit
