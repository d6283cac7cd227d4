#pragma once

namespace netsetup {

// Every plain pause of the link goes through here, so tests count sleeps instead of waiting.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void sleepMs(unsigned ms) = 0;
};

// Sleeps on the monotonic clock for real.
class RealSleeper final : public Sleeper {
 public:
  void sleepMs(unsigned ms) override;
};

}  // namespace netsetup
