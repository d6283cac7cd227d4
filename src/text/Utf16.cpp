#include "text/Utf16.h"

#include <cstdint>

#include "text/Utf8.h"

namespace netsetup {

namespace {

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A lone surrogate as written by utf16ToUtf8: ED followed by A0..BF and a continuation byte.
bool readSurrogate(std::string_view text, size_t& pos, char32_t& out) {
  if (text.size() - pos < 3 || static_cast<uint8_t>(text[pos]) != 0xED) return false;
  const auto b1 = static_cast<uint8_t>(text[pos + 1]), b2 = static_cast<uint8_t>(text[pos + 2]);
  if (b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80) return false;
  out = 0xD000 | (char32_t{b1 & 0x3Fu} << 6) | (b2 & 0x3F);
  pos += 3;
  return true;
}

}  // namespace

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    appendUtf8(out, c);
  }
  return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    if (const auto cp = readUtf8(text, pos)) {
      c = *cp;
    } else if (!readSurrogate(text, pos, c)) {
      c = 0xFFFD;
      ++pos;
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

}  // namespace netsetup
