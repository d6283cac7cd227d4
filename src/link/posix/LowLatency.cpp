#include "link/posix/LowLatency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace netsetup {

LowLatencyGrant requestLowLatency(int fd, IoctlCalls& calls) {
  serial_struct serial{};
  if (calls.ioctl(fd, TIOCGSERIAL, &serial) != 0) return {};
  if ((serial.flags & ASYNC_LOW_LATENCY) != 0) return {AdapterLatency::LowLatency::On, std::nullopt};
  const int previous = serial.flags;
  serial.flags |= ASYNC_LOW_LATENCY;
  if (calls.ioctl(fd, TIOCSSERIAL, &serial) != 0) return {};
  return {AdapterLatency::LowLatency::On, previous};
}

void restoreSerialFlags(int fd, int previousFlags, IoctlCalls& calls) {
  serial_struct serial{};
  if (calls.ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
  serial.flags = previousFlags;
  calls.ioctl(fd, TIOCSSERIAL, &serial);
}

}  // namespace netsetup
