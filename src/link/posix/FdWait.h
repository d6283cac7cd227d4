#pragma once
#include <chrono>

namespace netsetup {

using MonotonicClock = std::chrono::steady_clock;  // CLOCK_MONOTONIC on Linux

// Polls `fd` for `events` until the deadline; a signal does not shorten the wait.
// Returns the reported events, or 0 when the deadline passed or poll failed.
short waitForFd(int fd, short events, MonotonicClock::time_point deadline);

}  // namespace netsetup
