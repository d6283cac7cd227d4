#pragma once

#include "link/Deadline.h"

namespace netsetup {

// Polls `fd` for `events` until the deadline; a signal does not shorten the wait.
// Returns the reported events, or 0 when the deadline passed or poll failed.
short waitForFd(int fd, short events, const Deadline& deadline);

}  // namespace netsetup
