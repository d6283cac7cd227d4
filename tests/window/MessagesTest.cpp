#include <gtest/gtest.h>

#include "window/Messages.h"

namespace netsetup {
namespace {

TEST(ErrorBoxText, FullStopOnlyWhenTheLastCharacterSortsAfterIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"Unable to write to /x/netsetup.ini", "Unable to write to /x/netsetup.ini."},
      {"Unable to write to C:\\x\\netsetup.ini", "Unable to write to C:\\x\\netsetup.ini."},
      {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
      {"ends with a stop.", "ends with a stop."},
      {"ends with a dash -", "ends with a dash -"},
      {"ends in Cyrillic я", "ends in Cyrillic я."},
      {"", ""},
  };
  for (auto [in, out] : cases) EXPECT_EQ(errorBoxText(in), out) << in;
}

}  // namespace
}  // namespace netsetup
