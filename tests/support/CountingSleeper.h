#pragma once
#include "link/Sleeper.h"

namespace netsetup::testing {

// A sleeper that only counts, so the link's pauses are checked without waiting.
class CountingSleeper final : public Sleeper {
 public:
  void sleepMs(unsigned ms) override {
    ++sleeps;
    totalMs += ms;
  }
  int sleeps = 0;
  unsigned long totalMs = 0;
};

}  // namespace netsetup::testing
