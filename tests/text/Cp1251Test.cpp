#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/Cp1251.h"

namespace netsetup {
namespace {

TEST(Cp1251, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const Cp1251Encoding back = encodeCp1251(decodeCp1251(all));
  EXPECT_TRUE(back.ok());
  EXPECT_EQ(back.bytes, all);
}

TEST(Cp1251, SelectedBytes) {
  const std::pair<uint8_t, char32_t> cases[] = {
      {0x41, U'A'}, {0x80, U'Ђ'}, {0x82, U'‚'}, {0x88, U'€'}, {0x98, U'\u0098'}, {0x99, U'™'},
      {0xA0, U'\u00A0'}, {0xA5, U'Ґ'}, {0xA8, U'Ё'}, {0xB8, U'ё'}, {0xB9, U'№'}, {0xC0, U'А'},
      {0xDF, U'Я'}, {0xE0, U'а'}, {0xFF, U'я'},
  };
  for (const auto& [byte, unicode] : cases) {
    EXPECT_EQ(cp1251ToUnicode(byte), unicode) << "byte " << int(byte);
  }
}

TEST(Cp1251, CyrillicText) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
      {"\xF1\xEE\xE5\xE4\xE8\xED\xE5\xED\xE8\xFF (1)", "соединения (1)"},
      {"\xB8\xE6 \xA8\xC6 \xB9" "5 \x88", "ёж ЁЖ №5 €"},
  };
  for (const auto& [bytes, utf8] : cases) {
    EXPECT_EQ(decodeCp1251(bytes), utf8);
    const Cp1251Encoding encoded = encodeCp1251(utf8);
    EXPECT_TRUE(encoded.ok()) << utf8;
    EXPECT_EQ(encoded.bytes, bytes) << utf8;
  }
}

TEST(Cp1251, UnmappableCharactersAreReportedNotInvented) {
  const Cp1251Encoding e = encodeCp1251("a中b😀\u0099é€");
  EXPECT_FALSE(e.invalidUtf8);
  EXPECT_EQ(e.bytes, "ab\x88");
  EXPECT_EQ(e.unmappable, (std::vector<char32_t>{U'中', U'😀', U'\u0099', U'é'}));
}

TEST(Cp1251, InvalidUtf8IsRejected) {
  // Overlong forms, a surrogate, beyond U+10FFFF, truncations, stray and bad bytes.
  const char* cases[] = {"\xC0\x80", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
                         "\xF4\x90\x80\x80", "\xD0", "\xE2\x82", "\x80", "\xFF", "\xD0\x41"};
  for (const char* text : cases) {
    const Cp1251Encoding e = encodeCp1251(std::string("x") + text + "y");
    EXPECT_TRUE(e.invalidUtf8) << testing::PrintToString(std::string(text));
    EXPECT_FALSE(e.ok());
  }
}

}  // namespace
}  // namespace netsetup
