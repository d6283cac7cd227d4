#pragma once

namespace netsetup {

// The ioctl calls a serial port makes, through one seam: a test sees their order and stands in
// for a driver that a pseudo-terminal does not imitate.
class IoctlCalls {
 public:
  virtual ~IoctlCalls() = default;
  // As ioctl(2): -1 with errno set on failure.
  virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
};

// The real calls.
IoctlCalls& systemIoctl();

}  // namespace netsetup
