#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/PlatformLines.h"
#include "link/SerialDevice.h"
#include "link/SerialLine.h"
#include "link/posix/Fd.h"
#include "link/posix/Ioctl.h"

namespace netsetup {

// A tty opened exclusively and locked, raw 8N1 at an exact rate: the system calls under
// SerialLine.
class SerialPort final : public SerialDevice {
 public:
  static constexpr unsigned kReadTimeoutMs = SerialLine::kReadTimeoutMs;

  // Fails, saying where and why, when the device does not exist, is held by another process,
  // is not a tty or refuses the settings. Asks the driver for low latency after the line
  // settings; a driver that has none opens all the same.
  static Result<std::unique_ptr<SerialLine>, SerialFailure> open(const std::string& device, int32_t baud,
                                                                 IoctlCalls& calls = systemIoctl());

  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  size_t purge() override;
  bool writeByte(uint8_t byte, const Deadline& deadline) override;
  size_t read(uint8_t* into, size_t room, const Deadline& deadline) override;
  InputWait waitForInput(const Deadline& deadline) override;
  AdapterLatency adapterLatency() const override { return latency_; }

 private:
  SerialPort(UniqueFd fd, IoctlCalls& calls) : fd_(std::move(fd)), calls_(calls) {}

  UniqueFd fd_;
  IoctlCalls& calls_;
  AdapterLatency latency_;
  std::optional<int> flagsToRestore_;  // the driver's serial flags before we asked for low latency
};

}  // namespace netsetup
