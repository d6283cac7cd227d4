#include "link/Deadline.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"

namespace netsetup {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// What is left is rounded up, so a wait for it never ends before the end; the end itself counts
// as passed.
TEST(Deadline, RemainingIsRoundedUpAndEndsExactlyAtTheBudget) {
  const struct {
    long long elapsedUs;
    long long remainingMs;
    bool expired;
  } cases[] = {
      {0, 25, false}, {1, 25, false}, {999, 25, false}, {1000, 24, false},
      {24001, 1, false}, {24999, 1, false}, {25000, 0, true}, {90000, 0, true},
  };
  for (const auto& c : cases) {
    testing::FakeClock clock;
    clock.advance(microseconds(7));  // the start is wherever the clock stands
    const Deadline deadline(clock, milliseconds(25));
    EXPECT_EQ(deadline.start(), clock.now());
    EXPECT_EQ(deadline.end(), clock.now() + milliseconds(25));
    clock.advance(microseconds(c.elapsedUs));
    EXPECT_EQ(deadline.remaining(), milliseconds(c.remainingMs)) << c.elapsedUs << " us";
    EXPECT_EQ(deadline.remainingMs(), c.remainingMs) << c.elapsedUs << " us";
    EXPECT_EQ(deadline.expired(), c.expired) << c.elapsedUs << " us";
  }
  testing::FakeClock clock;
  EXPECT_TRUE(Deadline(clock, milliseconds(0)).expired()) << "a zero budget is over at once";
}

}  // namespace
}  // namespace netsetup
