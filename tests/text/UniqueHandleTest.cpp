#include <gtest/gtest.h>

#include <vector>

#include "text/UniqueHandle.h"

namespace netsetup {
namespace {

std::vector<int> closed;

struct CountedTraits {
  using Handle = int;
  static Handle invalid() { return -1; }
  static void close(Handle h) { closed.push_back(h); }
};
using Counted = UniqueHandle<CountedTraits>;

TEST(UniqueHandle, ClosesEachHandleOnceHoweverItIsPassedOn) {
  closed.clear();
  {
    Counted a(3), empty;
    EXPECT_TRUE(a);
    EXPECT_FALSE(empty);
    Counted b(std::move(a));  // moved: only b closes 3
    EXPECT_FALSE(a);
    Counted c(4);
    c = std::move(b);  // 4 closed now, 3 later
    EXPECT_EQ(closed, std::vector<int>{4});
    c.reset(5);  // 3 closed now
    const int kept = Counted(6).release();  // never closed
    EXPECT_EQ(kept, 6);
  }
  EXPECT_EQ(closed, (std::vector<int>{4, 3, 5}));
}

}  // namespace
}  // namespace netsetup
