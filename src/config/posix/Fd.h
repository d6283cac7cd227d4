#pragma once
#include <unistd.h>

#include "text/UniqueHandle.h"

namespace netsetup {

struct FdTraits {
  using Handle = int;
  static Handle invalid() { return -1; }
  static void close(Handle fd) { ::close(fd); }
};

// An open file descriptor.
using Fd = UniqueHandle<FdTraits>;

}  // namespace netsetup
