#pragma once
// The Win32 handles, each closed once by whoever holds it last.
#include "link/win32/WinApi.h"

#include <setupapi.h>

#include "text/UniqueHandle.h"

namespace netsetup {

// A kernel object whose opening fails with INVALID_HANDLE_VALUE: a file, a device.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { ::CloseHandle(handle); }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

struct SocketTraits {
  using Handle = SOCKET;
  static Handle invalid() { return INVALID_SOCKET; }
  static void close(Handle socket) { ::closesocket(socket); }
};
using UniqueSocket = UniqueHandle<SocketTraits>;

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle invalid() { return nullptr; }
  static void close(Handle key) { ::RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

// A SetupAPI device information list.
struct DeviceListTraits {
  using Handle = HDEVINFO;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle list) { ::SetupDiDestroyDeviceInfoList(list); }
};
using UniqueDeviceList = UniqueHandle<DeviceListTraits>;

}  // namespace netsetup
