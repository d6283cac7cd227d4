#include "link/win32/CommApi.h"

namespace netsetup {

namespace {

class SystemCommApi final : public CommApi {
 public:
  HANDLE createFile(const char* name, DWORD access, DWORD share, DWORD creation, DWORD flags) override {
    return ::CreateFileA(name, access, share, nullptr, creation, flags, nullptr);
  }
  BOOL closeHandle(HANDLE handle) override { return ::CloseHandle(handle); }
  HANDLE createEvent() override { return ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }
  BOOL setupComm(HANDLE port, DWORD inQueue, DWORD outQueue) override {
    return ::SetupComm(port, inQueue, outQueue);
  }
  BOOL getCommState(HANDLE port, DCB& dcb) override { return ::GetCommState(port, &dcb); }
  BOOL setCommState(HANDLE port, DCB& dcb) override { return ::SetCommState(port, &dcb); }
  BOOL setCommTimeouts(HANDLE port, COMMTIMEOUTS& timeouts) override {
    return ::SetCommTimeouts(port, &timeouts);
  }
  BOOL purgeComm(HANDLE port, DWORD flags) override { return ::PurgeComm(port, flags); }
  BOOL clearCommError(HANDLE port, DWORD& errors, COMSTAT& status) override {
    return ::ClearCommError(port, &errors, &status);
  }
  BOOL readFile(HANDLE port, void* buffer, DWORD count, OVERLAPPED& overlapped) override {
    return ::ReadFile(port, buffer, count, nullptr, &overlapped);
  }
  BOOL writeFile(HANDLE port, const void* buffer, DWORD count, OVERLAPPED& overlapped) override {
    return ::WriteFile(port, buffer, count, nullptr, &overlapped);
  }
  DWORD waitForSingleObject(HANDLE object, DWORD ms) override { return ::WaitForSingleObject(object, ms); }
  BOOL getOverlappedResult(HANDLE port, OVERLAPPED& overlapped, DWORD& transferred, BOOL wait) override {
    return ::GetOverlappedResult(port, &overlapped, &transferred, wait);
  }
  BOOL cancelIo(HANDLE port) override { return ::CancelIo(port); }
};

}  // namespace

CommApi& systemCommApi() {
  static SystemCommApi api;
  return api;
}

}  // namespace netsetup
