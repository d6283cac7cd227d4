#include "cli/console/UtcTime.h"

#include <gtest/gtest.h>

namespace netsetup::cli {
namespace {

using namespace std::chrono;

TEST(UtcTime, IsTheCalendarTimeToTheSecond) {
  const std::pair<system_clock::time_point, const char*> cases[] = {
      {sys_days{2026y / 12 / 7} + 11h + 22min + 33s + 999ms, "2026-12-07T11:22:33Z"},
      {sys_days{2024y / 2 / 29} + 23h + 59min + 59s, "2024-02-29T23:59:59Z"},
      {system_clock::time_point{}, "1970-01-01T00:00:00Z"},
      {system_clock::time_point{} - 1ms, "1969-12-31T23:59:59Z"},
  };
  for (const auto& [time, text] : cases) EXPECT_EQ(utcTimeText(time), text);
}

}  // namespace
}  // namespace netsetup::cli
