#pragma once
#include <atomic>
#include <chrono>

namespace netsetup {

// A flag a server thread can poll() on next to its own descriptors, and sleep against.
class StopSignal {
 public:
  using Clock = std::chrono::steady_clock;

  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  void trigger();
  void clear();
  bool triggered() const { return triggered_; }
  // Readable once triggered.
  int fd() const { return pipe_[0]; }

  // Sleeps until `deadline`; false when stopped first.
  bool waitUntil(Clock::time_point deadline) const;
  bool waitMs(unsigned ms) const { return waitUntil(Clock::now() + std::chrono::milliseconds(ms)); }

 private:
  int pipe_[2] = {-1, -1};
  std::atomic<bool> triggered_{false};
};

}  // namespace netsetup
