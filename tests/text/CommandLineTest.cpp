#include "text/CommandLine.h"

#include <gtest/gtest.h>

namespace netsetup {
namespace {

constexpr Option<int> kTable[] = {{"--baud", "", true}, {"--trace", "", false}, {"--output", "-o", true}};

// Each argument read, in a word: "word:read", "--baud=9600", "unknown:-x", "needs:--baud"...
std::vector<std::string> read(const std::vector<std::string>& args, bool words) {
  using Kind = Argument<int>::Kind;
  std::vector<std::string> out;
  for (const Argument<int>& a : readCommandLine<int>(args, kTable, words)) {
    const std::string name = a.option ? std::string(a.option->name) : std::string(a.name);
    switch (a.kind) {
      case Kind::Word: out.push_back("word:" + std::string(a.value)); break;
      case Kind::Option: out.push_back(name + "=" + std::string(a.value)); break;
      case Kind::Unknown: out.push_back("unknown:" + std::string(a.typed)); break;
      case Kind::NeedsValue: out.push_back("needs:" + name); break;
      case Kind::TakesNoValue: out.push_back("novalue:" + name); break;
    }
  }
  return out;
}

TEST(CommandLine, ReadsOptionsValuesAndWords) {
  struct Case {
    std::vector<std::string> args;
    bool words;
    std::vector<std::string> read;
  };
  const Case cases[] = {
      {{"read", "--baud", "-5", "--baud=1", "-o", "f", "--output=g"}, true,
       {"word:read", "--baud=-5", "--baud=1", "--output=f", "--output=g"}},
      {{"--trace", "--trace=1", "-o=f", "--x=1", "-", "--", "--trace", "--baud"}, true,
       {"--trace=", "novalue:--trace", "unknown:-o=f", "unknown:--x=1", "word:-", "word:--trace", "word:--baud"}},
      {{"--trace", "--baud"}, true, {"--trace=", "needs:--baud"}},
      {{"read", "--", "--trace"}, false, {"unknown:read", "unknown:--", "--trace="}},
  };
  for (const Case& c : cases) EXPECT_EQ(read(c.args, c.words), c.read) << c.args.front();
}

}  // namespace
}  // namespace netsetup
