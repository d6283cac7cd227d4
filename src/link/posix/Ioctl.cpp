#include "link/posix/Ioctl.h"

#include <sys/ioctl.h>

namespace netsetup {

namespace {

class SystemIoctl final : public IoctlCalls {
 public:
  int ioctl(int fd, unsigned long request, void* argument) override { return ::ioctl(fd, request, argument); }
};

}  // namespace

IoctlCalls& systemIoctl() {
  static SystemIoctl calls;
  return calls;
}

}  // namespace netsetup
