#include "link/posix/FdWait.h"

#include <poll.h>

#include <cerrno>

namespace netsetup {

// poll rounds its timer and a signal cuts it short: either way the loop finishes the wait.
short waitForFd(int fd, short events, const Deadline& deadline) {
  for (;;) {
    const auto left = deadline.remaining();
    if (left.count() <= 0) return 0;
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
    if (ready > 0) return entry.revents;
    if (ready < 0 && errno != EINTR) return 0;
  }
}

}  // namespace netsetup
