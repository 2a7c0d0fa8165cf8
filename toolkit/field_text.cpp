#include "toolkit/field_text.h"

#include <algorithm>

namespace toolkit {
namespace {

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

std::u16string_view FirstLine(std::u16string_view text) {
  const std::size_t end = text.find_first_of(u"\r\n");
  return end == std::u16string_view::npos ? text : text.substr(0, end);
}

std::optional<FieldEdit> KeepFirstLineOfEdit(std::u16string_view before, std::u16string_view after,
                                             std::size_t cursor) {
  cursor = std::min(cursor, after.size());
  // What follows the cursor was there before; what precedes it starts with
  // what the edit left of the old text.
  const std::size_t kept = after.size() - cursor;
  if (kept > before.size()) return std::nullopt;
  const std::size_t limit = std::min(before.size() - kept, cursor);
  std::size_t start = 0;
  while (start < limit && before[start] == after[start]) ++start;
  const std::u16string_view put = after.substr(start, cursor - start);
  if (std::none_of(put.begin(), put.end(), IsLineBreak)) return std::nullopt;
  return FieldEdit{start, before.size() - kept, std::u16string(FirstLine(put))};
}

}  // namespace toolkit
