#pragma once
#include <algorithm>
#include <chrono>

#include "link/MonotonicClock.h"

namespace netsetup {

// One wait's limit: when it started, how long it may take, and what is left of it. Every real
// wait of the link runs against one, so "keep waiting until" is written once.
class Deadline {
 public:
  Deadline(const MonotonicClock& clock, std::chrono::milliseconds budget)
      : clock_(&clock), start_(clock.now()), budget_(budget) {}

  MonotonicClock::TimePoint start() const { return start_; }
  std::chrono::milliseconds budget() const { return budget_; }
  MonotonicClock::TimePoint end() const { return start_ + budget_; }

  // What is left, rounded up to whole milliseconds, so a wait of that length never ends early;
  // zero once the end has passed.
  std::chrono::milliseconds remaining() const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end() - clock_->now());
    return std::max(left, std::chrono::milliseconds(0));
  }
  unsigned remainingMs() const { return static_cast<unsigned>(remaining().count()); }
  bool expired() const { return clock_->now() >= end(); }

 private:
  const MonotonicClock* clock_;
  MonotonicClock::TimePoint start_;
  std::chrono::milliseconds budget_;
};

}  // namespace netsetup
