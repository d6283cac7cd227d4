#include <gtest/gtest.h>

#include "text/Wide.h"

namespace netsetup {
namespace {

// The W functions count UTF-16 units, so a character outside the first plane takes two.
TEST(Wide, HoldsUtf16UnitsAndComesBackUnchanged) {
  const std::string text = "COM5 Привет \xF0\x9F\x98\x80";
  const std::wstring wide = toWide(text);
  EXPECT_EQ(wide.size(), 14u);
  EXPECT_EQ(wide[5], wchar_t{0x041F});
  EXPECT_EQ(wide[12], wchar_t{0xD83D});
  EXPECT_EQ(toUtf8(wide), text);
}

}  // namespace
}  // namespace netsetup
