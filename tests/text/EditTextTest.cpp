#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/Quote.h"
#include "text/SingleLine.h"
#include "text/Utf16.h"

namespace netsetup {
namespace {

TEST(QuoteText, ShortTextsWholeLongOnesByTheirBeginning) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc", "'abc'"},
      {"", "''"},
      {std::string(40, 'a'), "'" + std::string(40, 'a') + "'"},
      {std::string(15000, '1'), "'" + std::string(40, '1') + "…' (15000 characters)"},
      {"org\n.\t\x7F", "'org\\n.\\t\\x7F'"},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(quoteText(text), quoted);
  std::string cyrillic;
  for (int i = 0; i < 41; ++i) cyrillic += "я";  // two bytes each: cut by characters, not bytes
  std::string expected = "'";
  for (int i = 0; i < 40; ++i) expected += "я";
  EXPECT_EQ(quoteText(cyrillic), expected + "…' (41 characters)");
}

TEST(SingleLine, KeepsTheFirstLineOfAnInsertionWithoutControlCharacters) {
  struct Case {
    std::u16string before, after;
    size_t cursor;
    std::optional<EditedText> kept;
  };
  const Case cases[] = {
      {u"", u"dispatch.example.org\n.", 22, EditedText{u"dispatch.example.org", 20}},
      {u"", u"a\r\nb", 4, EditedText{u"a", 1}},
      {u"ac", u"ax\ty\nzc", 6, EditedText{u"axyc", 3}},          // pasted in the middle
      {u"aa", u"aa\nba", 4, EditedText{u"aaa", 2}},              // pasted "a\nb" after the first "a"
      {u"abc", u"ab\nxc", 4, EditedText{u"abc", 2}},             // "b" replaced by "b\nx"
      {u"", u"\x7F" u"1", 2, EditedText{u"1", 1}},
      {u"ab", u"abc", 3, std::nullopt},                          // typing
      {u"a\nb", u"a\nbc", 4, std::nullopt},                      // what was there already stays
      {u"", u"\u0410\u0431", 2, std::nullopt},                   // Cyrillic is no control character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(keepSingleLine(c.before, c.after, c.cursor), c.kept) << utf16ToUtf8(c.after);
  }
}

TEST(Utf16, RoundTripsEveryCodeUnitSequence) {
  const std::u16string texts[] = {u"[#]\r\nPort=3\r\n", u"\u0410\u044F \U0001F600", std::u16string(1, u'\xD800') + u"x",
                                  std::u16string(1, u'\xDC00'), u"\xDBFF"};
  for (const std::u16string& t : texts) EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(t)), t);
  EXPECT_EQ(utf16ToUtf8(u"\u0410\U0001F600"), "\xD0\x90\xF0\x9F\x98\x80");
  EXPECT_EQ(utf8ToUtf16("a\xFF"), u"a\uFFFD");
}

}  // namespace
}  // namespace netsetup
