// The small rules every layer shares: blanks, case, hex, byte-order marks, lines, COM names.
#include <gtest/gtest.h>

#include "text/AsciiCase.h"
#include "text/Blanks.h"
#include "text/ByteOrderMarks.h"
#include "text/ComPortName.h"
#include "text/Cp1251.h"
#include "text/Hex.h"
#include "text/Lines.h"
#include "text/Utf8.h"

namespace netsetup {
namespace {

// A console gets whole characters: the start of one cut by a buffer's end waits for the rest.
TEST(Utf8, CompletePrefixHoldsBackOnlyACutCharacter) {
  const std::pair<std::string_view, size_t> cases[] = {
      {"", 0},         {"abc", 3},           {"\xD1\x80", 2},          {"a\xD1", 1},       {"a\xE2\x82", 1},
      {"a\xE2\x82\xAC", 4}, {"a\xF0\x9F\x98", 1}, {"a\xF0\x9F\x98\x80", 5}, {"a\x80\x80\x80\x80", 5},
      {"a\xFF", 2},
  };
  for (const auto& [text, whole] : cases) EXPECT_EQ(completeUtf8Prefix(text), whole) << testing::PrintToString(std::string(text));
}

TEST(SmallRules, BlanksAndCase) {
  EXPECT_EQ(trimBlanks(" \t a b\t "), "a b");
  EXPECT_EQ(trimBlanks("\r\na\n"), "\r\na\n");  // line breaks are no blanks
  EXPECT_TRUE(equalsIgnoringAsciiCase("Port", "pORT"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("Port", "Ports"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("\xC0", "\xE0"));  // Windows-1251 А, а: ASCII only
  EXPECT_EQ(lowerAscii("PAP Ё"), "pap Ё");
  const std::pair<uint8_t, uint8_t> letters[] = {{'Q', 'q'},   {0xC0, 0xE0}, {0xDF, 0xFF},
                                                 {0xA8, 0xB8}, {0xE0, 0xE0}, {'@', '@'}};
  for (const auto& [upper, lower] : letters) EXPECT_EQ(lowerCp1251(upper), lower) << int{upper};
}

TEST(SmallRules, Hex) {
  EXPECT_EQ(hexDigits(0x5A, 2), "5A");
  EXPECT_EQ(hexDigits(0x626, 4), "0626");
  EXPECT_EQ(hexDigits(0xDEADBEEF, 8), "DEADBEEF");
  EXPECT_EQ(parseHexDigits("fF00"), 0xFF00u);
  for (const char* bad : {"", "0x1", "12 ", "123456789", "g"}) EXPECT_EQ(parseHexDigits(bad), std::nullopt) << bad;
}

TEST(SmallRules, MarksAndLines) {
  EXPECT_EQ(withoutUtf8Mark("\xEF\xBB\xBFk=v"), "k=v");
  EXPECT_EQ(withoutUtf8Mark("k=\xEF\xBB\xBF"), "k=\xEF\xBB\xBF");
  std::vector<std::string> lines;
  const std::string_view text = "a\r\nb\rc\n\nd";
  for (const LineSpan& l : splitLines(text)) lines.emplace_back(text.substr(l.start, l.next - l.start));
  EXPECT_EQ(lines, (std::vector<std::string>{"a\r\n", "b\r", "c\n", "\n", "d"}));
  EXPECT_TRUE(splitLines("").empty());
}

TEST(SmallRules, ComPortNames) {
  const std::pair<const char*, unsigned> names[] = {
      {"COM1", 1}, {"com16", 16}, {"cOm255", 255}, {"COM03", 3},     {"COM", 0},
      {"COM1000", 0}, {"COM1a", 0}, {"LPT1", 0},   {"/dev/COM1", 0}, {" COM1", 0}};
  for (const auto& [name, number] : names) EXPECT_EQ(comPortNumber(name), number) << name;
}

}  // namespace
}  // namespace netsetup
