#include <gtest/gtest.h>

#include "window/Placement.h"

namespace netsetup {
namespace {

TEST(WindowPlacement, Table) {
  const struct {
    const char* name;
    ScreenRect window, workArea;
    ScreenPoint expected;
  } cases[] = {
      {"fits: the designed place", {637, 223, 706, 531}, {0, 0, 1920, 1040}, {637, 223}},
      {"fits exactly to the edges", {100, 50, 800, 600}, {100, 50, 800, 600}, {100, 50}},
      {"off the right side", {637, 223, 706, 531}, {0, 0, 1000, 1040}, {294, 223}},
      {"under the task bar", {637, 223, 706, 531}, {0, 0, 1920, 700}, {637, 169}},
      // 144 dpi on a 1920x1080 screen with a 40-pixel task bar
      {"off both", {956, 335, 1056, 787}, {0, 0, 1920, 1040}, {864, 253}},
      {"left of and above the area", {637, 223, 706, 531}, {700, 300, 1280, 1024}, {700, 300}},
      {"a second screen to the left", {-500, 100, 706, 531}, {-1280, 0, 1280, 1024}, {-706, 100}},
      {"task bar at the top", {637, 10, 706, 531}, {0, 40, 1920, 1040}, {637, 40}},
      {"wider than the area", {637, 100, 1056, 531}, {0, 0, 1000, 700}, {0, 100}},
      {"taller than the area, moved sideways", {956, 335, 706, 787}, {0, 0, 1280, 700}, {574, 0}},
      {"larger than the area", {956, 335, 1056, 787}, {10, 20, 1000, 700}, {10, 20}},
  };
  for (const auto& c : cases) {
    const ScreenPoint at = placeWindow(c.window, c.workArea);
    EXPECT_EQ(at, c.expected) << c.name << ": got " << at.left << "," << at.top;
  }
}

}  // namespace
}  // namespace netsetup
