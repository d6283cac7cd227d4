// Help and man page describe every command and option the parser takes.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cli/CommandTable.h"
#include "cli/HelpText.h"

namespace netsetup::cli {
namespace {

// `word` in `text` as a word of its own: "--set" is not mentioned by "--settings".
bool mentions(const std::string& text, std::string_view word) {
  const auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '\\'; };
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const size_t end = at + word.size();
    if ((at == 0 || !isWordChar(text[at - 1]) || word.front() == '-') && (end == text.size() || !isWordChar(text[end])))
      return true;
  }
  return false;
}

// The page's text without its font changes ("\fBwrite\fR" is "write").
std::string withoutFonts(std::string text) {
  for (size_t at = text.find("\\f"); at != std::string::npos; at = text.find("\\f", at)) text.erase(at, 3);
  return text;
}

// "\-\-no\-verify": an option as the man page spells it.
std::string inRoff(std::string_view option) {
  std::string out;
  for (char c : option) out += c == '-' ? std::string("\\-") : std::string(1, c);
  return out;
}

TEST(HelpCoverage, EveryOptionInHelpAndManPage) {
  const std::string general = helpText("");
  const std::string man = withoutFonts(manPage());
  for (const OptionInfo& option : optionTable()) {
    SCOPED_TRACE(option.name);
    bool inHelp = mentions(general, option.name);
    for (const CommandInfo& command : commandTable())
      if (accepts(command, option) && mentions(helpText(command.name), option.name)) inHelp = true;
    EXPECT_TRUE(inHelp);
    if (option.extra.group == OptionGroup::Link) {
      EXPECT_TRUE(mentions(general, option.name));
    }
    EXPECT_TRUE(mentions(man, inRoff(option.name)));
    if (!option.alias.empty()) {
      EXPECT_TRUE(mentions(man, inRoff(option.alias)));
    }
  }
}

TEST(HelpCoverage, EveryCommandInHelpAndManPage) {
  const std::string general = helpText("");
  const std::string man = manPage();
  for (const CommandInfo& command : commandTable()) {
    SCOPED_TRACE(command.name);
    EXPECT_NE(general.find("\n  " + std::string(command.name) + " "), std::string::npos);
    EXPECT_NE(man.find(".TP\n\\fB" + std::string(command.name) + "\\fR"), std::string::npos);
  }
}

// Every line the page starts with a dot is a request man knows, so no text of the tables was
// taken for one, and no mark is left unfilled.
TEST(HelpCoverage, ManPageIsWellFormed) {
  const std::set<std::string> requests{".TH", ".SH", ".SS", ".TP", ".PP", ".B",  ".BR", ".BI", ".I",
                                        ".IR", ".IB", ".RB", ".RI", ".RS", ".RE", ".br", ".nf", ".fi"};
  const std::string man = manPage();
  EXPECT_TRUE(man.starts_with(".TH NETSETUP\\-CLI 1 "));
  EXPECT_EQ(man.find('{'), std::string::npos);
  EXPECT_TRUE(man.ends_with("\n"));
  std::istringstream lines(man);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_FALSE(line.empty()) << "an empty line in roff is a blank line on the page";
    if (line.starts_with('.') || line.starts_with('\'')) {
      EXPECT_TRUE(requests.count(line.substr(0, line.find(' ')))) << line;
    }
  }
}

}  // namespace
}  // namespace netsetup::cli
