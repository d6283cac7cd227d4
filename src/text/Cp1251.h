#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace netsetup {

// Windows-1251 <-> Unicode. Inside the tool, Unicode texts are UTF-8 std::strings; the
// instrument's record and the settings file hold Windows-1251 bytes.

// The Unicode character that one Windows-1251 byte stands for (0x98, unassigned, maps to U+0098
// so that every byte survives a round trip).
char32_t cp1251ToUnicode(uint8_t byte);

// Windows-1251 bytes (one char each) to UTF-8.
std::string decodeCp1251(std::string_view bytes);

struct Cp1251Encoding {
  std::string bytes;                 // one byte per character that could be encoded
  std::vector<char32_t> unmappable;  // characters Windows-1251 cannot hold, in order met
  bool invalidUtf8 = false;          // the input was not valid UTF-8
  bool ok() const { return unmappable.empty() && !invalidUtf8; }
};

// The lower case of a Windows-1251 letter (Latin A-Z, Cyrillic А-Я and Ё); other bytes stay.
uint8_t lowerCp1251(uint8_t byte);

// UTF-8 to Windows-1251. Never invents a byte: characters without one are reported instead.
Cp1251Encoding encodeCp1251(std::string_view utf8);

// UTF-8 to Windows-1251 the way the Windows ANSI functions hand out a Unicode file's text: each
// character without a byte (and each byte that is not UTF-8) becomes '?'.
std::string encodeCp1251Replacing(std::string_view utf8);

}  // namespace netsetup
