#include "link/posix/FdWait.h"

#include <poll.h>

#include <cerrno>

namespace netsetup {

short waitForFd(int fd, short events, MonotonicClock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - MonotonicClock::now());
    if (left.count() <= 0) return 0;
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
    if (ready > 0) return entry.revents;
    if (ready == 0) {
      if (MonotonicClock::now() >= deadline) return 0;
      continue;  // poll rounds its timer; finish the wait
    }
    if (errno != EINTR) return 0;
  }
}

}  // namespace netsetup
