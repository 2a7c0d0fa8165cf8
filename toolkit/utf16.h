#pragma once
// UTF-8, the program's texts, to and from UTF-16, the texts of toolkits that
// keep them so.

#include <optional>
#include <string>
#include <string_view>

namespace toolkit {

// The UTF-16 form of `utf8`; empty when it is not well-formed UTF-8
// (overlong forms, surrogates, values beyond U+10FFFF and cut sequences are
// refused, not replaced):
//   "传动比" -> u"传动比"     "\xFF" -> nullopt     "\xED\xA0\x80" -> nullopt
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

// The UTF-8 form of `utf16`; a surrogate without its pair becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace toolkit
