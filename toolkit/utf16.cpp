#include "toolkit/utf16.h"

#include <cstdint>

namespace toolkit {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// What the first byte of a sequence says: its length, the bits it carries,
// and the smallest value that needs that length (a smaller one is overlong).
struct LeadByte {
  std::size_t length;
  char32_t bits;
  char32_t smallest;
};

std::optional<LeadByte> ReadLead(unsigned char byte) {
  if (byte < 0x80) return LeadByte{1, byte, 0};
  if ((byte & 0xE0) == 0xC0) return LeadByte{2, byte & 0x1Fu, 0x80};
  if ((byte & 0xF0) == 0xE0) return LeadByte{3, byte & 0x0Fu, 0x800};
  if ((byte & 0xF8) == 0xF0) return LeadByte{4, byte & 0x07u, 0x10000};
  return std::nullopt;  // a continuation byte, or a byte UTF-8 never uses
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::optional<LeadByte> lead = ReadLead(static_cast<unsigned char>(utf8[i]));
    if (!lead || utf8.size() - i < lead->length) return std::nullopt;
    char32_t c = lead->bits;
    for (std::size_t k = 1; k < lead->length; ++k) {
      const auto byte = static_cast<unsigned char>(utf8[i + k]);
      if (!IsContinuation(byte)) return std::nullopt;
      c = (c << 6) | (byte & 0x3F);
    }
    if (c < lead->smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
    i += lead->length;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace toolkit
