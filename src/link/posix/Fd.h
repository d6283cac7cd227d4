#pragma once
#include <dirent.h>
#include <unistd.h>

#include "text/UniqueHandle.h"

namespace netsetup {

// A file descriptor (a tty, a socket, a file), closed once by whoever holds it last.
struct FdTraits {
  using Handle = int;
  static Handle invalid() { return -1; }
  static void close(Handle fd) { ::close(fd); }
};
using UniqueFd = UniqueHandle<FdTraits>;

// An open folder listing, which holds a descriptor of its own.
struct DirTraits {
  using Handle = DIR*;
  static Handle invalid() { return nullptr; }
  static void close(Handle dir) { ::closedir(dir); }
};
using UniqueDir = UniqueHandle<DirTraits>;

}  // namespace netsetup
