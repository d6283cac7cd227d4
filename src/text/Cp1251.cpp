#include "text/Cp1251.h"

#include <array>
#include <optional>

#include "text/AsciiCase.h"
#include "text/Utf8.h"

namespace netsetup {
namespace {

// Bytes 0x80..0xBF; 0x98 is unassigned and kept as U+0098 so that every byte round-trips.
constexpr std::array<char16_t, 64> kHighSpecials = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// 0xC0..0xFF are А..я in Unicode order.
constexpr char32_t kCyrillicA = 0x0410;

std::optional<uint8_t> unicodeToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<uint8_t>(cp);
  if (cp >= kCyrillicA && cp < kCyrillicA + 64) return static_cast<uint8_t>(0xC0 + (cp - kCyrillicA));
  for (size_t i = 0; i < kHighSpecials.size(); ++i) {
    if (kHighSpecials[i] == cp) return static_cast<uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

char32_t cp1251ToUnicode(uint8_t byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return kCyrillicA + (byte - 0xC0);
  return kHighSpecials[byte - 0x80];
}

uint8_t lowerCp1251(uint8_t byte) {
  if (byte >= 0xC0 && byte <= 0xDF) return static_cast<uint8_t>(byte + 0x20);  // А-Я
  if (byte == 0xA8) return 0xB8;                                                 // Ё
  return static_cast<uint8_t>(lowerAscii(static_cast<char>(byte)));
}

std::string decodeCp1251(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) appendUtf8(out, cp1251ToUnicode(static_cast<uint8_t>(c)));
  return out;
}

Cp1251Encoding encodeCp1251(std::string_view utf8) {
  Cp1251Encoding result;
  result.bytes.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const std::optional<char32_t> cp = readUtf8(utf8, pos);
    if (!cp) {
      // Skip the offending byte and resynchronise, so the rest is still checked for unmappables.
      result.invalidUtf8 = true;
      ++pos;
      continue;
    }
    if (const std::optional<uint8_t> byte = unicodeToCp1251(*cp)) {
      result.bytes += static_cast<char>(*byte);
    } else {
      result.unmappable.push_back(*cp);
    }
  }
  return result;
}

std::string encodeCp1251Replacing(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const std::optional<char32_t> cp = readUtf8(utf8, pos);
    if (!cp) ++pos;
    const std::optional<uint8_t> byte = cp ? unicodeToCp1251(*cp) : std::nullopt;
    bytes += byte ? static_cast<char>(*byte) : '?';
  }
  return bytes;
}

}  // namespace netsetup
