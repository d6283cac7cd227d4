#pragma once
#include "link/win32/WinApi.h"

#include "text/UniqueHandle.h"

namespace netsetup {

// A kernel object that CreateFile and its kin open (INVALID_HANDLE_VALUE when there is none).
struct HandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { ::CloseHandle(handle); }
};

using Handle = UniqueHandle<HandleTraits>;

}  // namespace netsetup
