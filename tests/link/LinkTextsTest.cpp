#include "link/LinkTexts.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace netsetup {
namespace {

std::multiset<std::string> valuesNamed(std::string_view text) {
  std::multiset<std::string> found;
  const std::string s(text);
  const std::regex value(R"(\{\d\})");
  for (std::sregex_iterator i(s.begin(), s.end(), value), end; i != end; ++i) found.insert(i->str());
  return found;
}

// The window's Russian and the command line's English say the same things about a link.
TEST(LinkTexts, EveryTextHasBothLanguagesWithTheSameValues) {
  std::set<LinkText> seen;
  for (const LinkTextRow& row : linkTextRows()) {
    SCOPED_TRACE(std::string(row.english));
    EXPECT_TRUE(seen.insert(row.text).second) << "listed twice";
    EXPECT_FALSE(row.english.empty());
    EXPECT_NE(row.russian, row.english);
    EXPECT_EQ(valuesNamed(row.russian), valuesNamed(row.english));
    // Both end alike: a sentence, a line, or a piece that continues.
    const auto ending = [](std::string_view t) { return std::string_view(".:\n").find(t.back()) != std::string_view::npos ? t.back() : ' '; };
    EXPECT_EQ(ending(row.russian), ending(row.english));
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(LinkText::LatencyAdvice) + 1) << "a text without a row";
}

TEST(LinkTexts, FillsEachValueWhereItsNumberStands) {
  EXPECT_EQ(linkText(Language::English, LinkText::GroupToJoin, {"dialout", "ops"}),
            " It belongs to the group 'dialout'. Give the user that group with\n  sudo usermod -aG dialout ops\nthen "
            "log out and in again.");
  EXPECT_EQ(linkText(Language::Russian, LinkText::TcpOther, {"10.0.0.5:10001", "{2}"}),
            "Не удалось подключиться к 10.0.0.5:10001: {2}.");  // a value is never read as a pattern
  EXPECT_EQ(inBoth([](Language l) { return linkText(l, LinkText::NotPresent, {"COM3"}); }).in(Language::Russian),
            "COM3: не подключён");
}

}  // namespace
}  // namespace netsetup
