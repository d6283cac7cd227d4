#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "link/PlatformLines.h"
#include "link/SerialDevice.h"
#include "link/SerialLine.h"
#include "link/win32/CommApi.h"
#include "link/win32/PortRegistry.h"

namespace netsetup {

// A COM port opened exclusively for overlapped I/O, 8N1 at an exact rate: the system calls
// under SerialLine.
class SerialPort final : public SerialDevice {
 public:
  static constexpr DWORD kReadWaitMs = 100;  // in case a driver ignores its time-outs
  static constexpr DWORD kQueueSize = 1024;
  static constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
  // A read returns as soon as a byte is there, or with nothing after 5 ms per byte + 20 ms.
  static constexpr COMMTIMEOUTS kTimeouts{.ReadIntervalTimeout = MAXDWORD,
                                          .ReadTotalTimeoutMultiplier = 5,
                                          .ReadTotalTimeoutConstant = 20,
                                          .WriteTotalTimeoutMultiplier = 5,
                                          .WriteTotalTimeoutConstant = 20};

  // Fails, saying where (Open or Configure) and why, when the port does not exist, is held by
  // another program or refuses the settings.
  static Result<std::unique_ptr<SerialLine>, SerialFailure> open(const std::string& device, int32_t baud,
                                                                 CommApi& api = systemCommApi(),
                                                                 PortRegistry& registry = systemPortRegistry());

  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  size_t purge() override;
  bool writeByte(uint8_t byte, const Deadline& deadline) override;
  size_t read(uint8_t* into, size_t room, const Deadline& deadline) override;
  // An overlapped port offers no wait for input short of a comm event mask: Unknown, so the
  // pause after an empty poll is a plain sleep.
  InputWait waitForInput(const Deadline&) override { return InputWait::Unknown; }
  // The adapter's latency timer where its driver keeps one in the registry, read when asked (a
  // trace), so an ordinary open enumerates no devices. Changing it is an administrator's job.
  AdapterLatency adapterLatency() const override;

 private:
  SerialPort(CommApi& api, HANDLE port, PortRegistry& registry, unsigned number)
      : api_(api), registry_(registry), number_(number), port_({&api, port}) {}
  bool configure(DWORD baud);
  // One overlapped transfer, waited for at most `waitMs`, and over when this returns: how many
  // bytes it moved.
  DWORD transfer(bool write, uint8_t* bytes, DWORD count, DWORD waitMs);

  HANDLE port() const { return port_.get().value; }
  HANDLE event() const { return event_.get().value; }

  CommApi& api_;
  PortRegistry& registry_;
  unsigned number_;  // n of COMn
  // The port closes before the event its transfers signal.
  CommHandle event_;
  CommHandle port_;
};

}  // namespace netsetup
