#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "text/IntegerText.h"

namespace netsetup {
namespace {

using namespace std::string_view_literals;

constexpr std::optional<int32_t> kNo;

TEST(IntegerText, Table) {
  const std::pair<std::string_view, std::optional<int32_t>> cases[] = {
      {"0", 0}, {"+42", 42}, {"-42", -42}, {"   7", 7}, {"  -7", -7}, {"012", 12},
      {"0000000000002147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"-0", 0},
      {"2147483648", kNo}, {"-2147483649", kNo}, {"99999999999999999999", kNo},
      {"$10", 16}, {"0x10", 16}, {"x1F", 31}, {"0X1f", 31}, {"$7FFFFFFF", INT32_MAX},
      {"$80000000", INT32_MIN}, {"$ffffffff", -1}, {"-$1", -1}, {"-0x10", -16},
      {"-$80000000", INT32_MIN}, {"-$FFFFFFFF", 1}, {"+$10", 16},
      {"", kNo}, {" ", kNo}, {"\t7", kNo}, {"+", kNo}, {"-", kNo}, {"$", kNo}, {"x", kNo},
      {"0x", kNo}, {"+-7", kNo}, {"- 7", kNo}, {"42 ", kNo}, {"0x1 ", kNo}, {"00x1", kNo},
      {"0x-1", kNo}, {"1e3", kNo}, {"4a", kNo}, {"$100000000", kNo}, {"$000000001", kNo},
      {"$G", kNo}, {"$$1", kNo}, {"12\0"sv, kNo},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(parseInteger(text), expected) << testing::PrintToString(std::string(text));
  }
}

// The range holds at both ends, hex counts by its value, and a unit follows only the range.
TEST(IntegerText, UpToRefusals) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"0", ""}, {"255", ""}, {"$FF", ""}, {"256", "The address '256' is outside 0..255 steps"},
      {"-1", "The address '-1' is outside 0..255 steps"}, {"$ffffffff", "The address '$ffffffff' is outside 0..255 steps"},
      {"", "'' is not a valid integer value"}, {"2x", "'2x' is not a valid integer value"},
  };
  for (const auto& [text, refusal] : cases) {
    const Result<int32_t> got = integerUpTo("The address", text, 255, "steps");
    EXPECT_EQ(got ? "" : got.failure().message, refusal) << text;
  }
}

}  // namespace
}  // namespace netsetup
