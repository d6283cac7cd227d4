#pragma once
#include <cstdint>
#include <optional>

#include "link/posix/Ioctl.h"

namespace netsetup {

// The line settings of an open tty as the driver reports them.
struct SerialLineState {
  uint32_t inputRate = 0;
  uint32_t outputRate = 0;
  bool raw8N1 = false;  // raw, 8 data bits, no parity, one stop bit, receiver on, no modem control
  bool hardwareFlow = false;  // CRTSCTS
  bool softwareFlow = false;  // IXON or IXOFF
};

// Raw 8N1 at exactly `rate` baud (BOTHER), reads never block in the driver (VMIN = VTIME = 0),
// no XON/XOFF, hardware flow control left as found. False when the fd is not a tty or the driver refuses.
bool configureRawLine(int fd, uint32_t rate, IoctlCalls& calls = systemIoctl());

std::optional<SerialLineState> readLineState(int fd);

}  // namespace netsetup
