#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "link/Transport.h"
#include "link/posix/OpenDiagnosis.h"

namespace netsetup {

// A tty opened exclusively, raw 8N1 at an exact rate, read one byte at a time.
class SerialPort final : public Transport {
 public:
  static constexpr unsigned kReadTimeoutMs = 25;
  static constexpr unsigned kWriteTimeoutMs = 1000;

  // Null when the device does not exist, is held by another process, is not a tty or
  // refuses the settings; then `failure`, when given, says where and why.
  static std::unique_ptr<SerialPort> open(const std::string& device, int32_t baud, SerialFailure* failure = nullptr);

  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  bool isTcp() const override { return false; }
  void purge() override;
  size_t send(const uint8_t* bytes, size_t count) override;
  bool readByte(uint8_t& byte) override;
  void idle(unsigned ms, Sleeper& sleeper) override;
  void close() override;

 private:
  explicit SerialPort(int fd) : fd_(fd) {}
  bool writeOne(uint8_t byte, bool mayWait);

  int fd_ = -1;
};

}  // namespace netsetup
