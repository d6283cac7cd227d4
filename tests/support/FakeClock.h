#pragma once
#include <chrono>

#include "link/MonotonicClock.h"

namespace netsetup::testing {

// A clock that moves only when told to, or when something sleeps on it.
class FakeClock final : public MonotonicClock {
 public:
  TimePoint now() const override { return now_; }
  void sleepUntil(TimePoint until) override {
    if (until > now_) now_ = until;
  }
  void advance(std::chrono::microseconds by) { now_ += by; }
  // How far the clock has moved since it was made.
  std::chrono::microseconds elapsed() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(now_ - TimePoint{});
  }

 private:
  TimePoint now_{};
};

}  // namespace netsetup::testing
