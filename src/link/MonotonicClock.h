#pragma once
#include <chrono>

namespace netsetup {

// The monotonic time that the link's real waits are measured on. Tests put a clock of their own
// in its place and move it by hand, so a wait's arithmetic is checked exactly.
class MonotonicClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~MonotonicClock() = default;
  virtual TimePoint now() const = 0;
  // Blocks until `until`; a test's clock just moves there.
  virtual void sleepUntil(TimePoint until) = 0;
};

// The system's monotonic clock (CLOCK_MONOTONIC on Linux).
MonotonicClock& systemClock();

}  // namespace netsetup
