#pragma once
#include <chrono>

namespace netsetup::testing {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace netsetup::testing
