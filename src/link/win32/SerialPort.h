#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "link/Transport.h"
#include "link/win32/CommApi.h"

namespace netsetup {

// A COM port opened exclusively for overlapped I/O, 8N1 at an exact rate, read one byte at a
// time. The idle time after an empty poll is the plain sleep Transport gives.
class SerialPort final : public Transport {
 public:
  static constexpr unsigned kReadTimeoutMs = 25;    // one poll: 5 ms for the byte + 20 ms
  static constexpr DWORD kReadWaitMs = 100;         // in case a driver ignores its time-outs
  static constexpr DWORD kWriteTimeoutMs = 1000;
  static constexpr DWORD kQueueSize = 1024;
  static constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
  static constexpr COMMTIMEOUTS kTimeouts{.ReadIntervalTimeout = MAXDWORD,
                                          .ReadTotalTimeoutMultiplier = 5,
                                          .ReadTotalTimeoutConstant = 20,
                                          .WriteTotalTimeoutMultiplier = 5,
                                          .WriteTotalTimeoutConstant = 20};

  // Where an open stopped, and the system's error there.
  struct Failure {
    bool opened = false;  // false: CreateFile refused the port; true: it refused the settings
    DWORD error = 0;
  };

  // Null when the port does not exist, is held by another program or refuses the settings;
  // then `failure`, when given, says where and why.
  static std::unique_ptr<SerialPort> open(const std::string& device, int32_t baud,
                                          CommApi& api = systemCommApi(), Failure* failure = nullptr);

  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  bool isTcp() const override { return false; }
  void purge() override;
  size_t send(const uint8_t* bytes, size_t count) override;
  bool readByte(uint8_t& byte) override;
  void close() override;

 private:
  SerialPort(CommApi& api, HANDLE handle) : api_(api), handle_(handle) {}
  bool configure(DWORD baud);
  // One overlapped one-byte transfer, waited for at most `waitMs`, and over when this returns.
  bool transferOne(bool write, uint8_t& byte, DWORD waitMs);

  CommApi& api_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;  // the transfers' completion event
};

}  // namespace netsetup
