#include "link/MonotonicClock.h"

#include <thread>

namespace netsetup {

namespace {

class SystemClock final : public MonotonicClock {
 public:
  TimePoint now() const override { return std::chrono::steady_clock::now(); }
  void sleepUntil(TimePoint until) override { std::this_thread::sleep_until(until); }
};

}  // namespace

MonotonicClock& systemClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace netsetup
