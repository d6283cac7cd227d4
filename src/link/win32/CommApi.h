#pragma once
#include "link/win32/WinApi.h"
#include "text/UniqueHandle.h"

namespace netsetup {

// The Win32 calls a serial port makes, one to one, so that a test can run the port against a
// fake and see exactly what is set: wine rounds some rates and lets a second open through.
class CommApi {
 public:
  virtual ~CommApi() = default;
  virtual HANDLE createFile(const char* name, DWORD access, DWORD share, DWORD creation, DWORD flags) = 0;
  virtual BOOL closeHandle(HANDLE handle) = 0;
  virtual HANDLE createEvent() = 0;  // manual reset, not signalled
  virtual BOOL setupComm(HANDLE port, DWORD inQueue, DWORD outQueue) = 0;
  virtual BOOL getCommState(HANDLE port, DCB& dcb) = 0;
  virtual BOOL setCommState(HANDLE port, DCB& dcb) = 0;
  virtual BOOL setCommTimeouts(HANDLE port, COMMTIMEOUTS& timeouts) = 0;
  virtual BOOL purgeComm(HANDLE port, DWORD flags) = 0;
  virtual BOOL clearCommError(HANDLE port, DWORD& errors, COMSTAT& status) = 0;
  // As ReadFile/WriteFile on a handle opened for overlapped I/O: FALSE with ERROR_IO_PENDING
  // in GetLastError while the transfer goes on.
  virtual BOOL readFile(HANDLE port, void* buffer, DWORD count, OVERLAPPED& overlapped) = 0;
  virtual BOOL writeFile(HANDLE port, const void* buffer, DWORD count, OVERLAPPED& overlapped) = 0;
  virtual DWORD waitForSingleObject(HANDLE object, DWORD ms) = 0;
  virtual BOOL getOverlappedResult(HANDLE port, OVERLAPPED& overlapped, DWORD& transferred, BOOL wait) = 0;
  virtual BOOL cancelIo(HANDLE port) = 0;
};

// The real calls.
CommApi& systemCommApi();

// A handle the comm API opened, closed through the same API, so that a fake sees the close.
struct CommHandleTraits {
  struct Handle {
    CommApi* api;
    HANDLE value;
    bool operator==(const Handle&) const = default;
  };
  static Handle invalid() { return {nullptr, nullptr}; }
  static void close(Handle handle) { handle.api->closeHandle(handle.value); }
};
using CommHandle = UniqueHandle<CommHandleTraits>;

}  // namespace netsetup
