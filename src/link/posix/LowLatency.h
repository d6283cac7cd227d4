#pragma once
#include <optional>

#include "link/AdapterLatency.h"
#include "link/posix/Ioctl.h"

namespace netsetup {

// What asking a tty's driver for low latency gave, and the flags to put back on close (only
// when the request changed them).
struct LowLatencyGrant {
  AdapterLatency::LowLatency state = AdapterLatency::LowLatency::NotSupported;
  std::optional<int> previousFlags;
};

// Sets ASYNC_LOW_LATENCY through TIOCGSERIAL/TIOCSSERIAL: usb-serial drivers then pass input on
// at once instead of holding it for their latency timer. A driver without these calls (a
// pseudo-terminal) is left as it is: that is never a reason to fail an open.
LowLatencyGrant requestLowLatency(int fd, IoctlCalls& calls);

// Puts the serial flags found before the request back, keeping whatever else the driver holds now.
void restoreSerialFlags(int fd, int previousFlags, IoctlCalls& calls);

}  // namespace netsetup
