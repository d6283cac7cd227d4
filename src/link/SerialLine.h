#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/InputBuffer.h"
#include "link/MonotonicClock.h"
#include "link/SerialDevice.h"
#include "link/Transport.h"

namespace netsetup {

// A serial port as the link uses it, on every platform: a frame goes out one write call per
// byte; a poll takes a byte of what has arrived, or waits up to 25 ms for one; the idle time
// after an empty poll ends when input arrives. The platform's SerialDevice makes the calls.
class SerialLine final : public Transport {
 public:
  static constexpr unsigned kReadTimeoutMs = 25;
  static constexpr unsigned kWriteTimeoutMs = 1000;

  explicit SerialLine(std::unique_ptr<SerialDevice> device, MonotonicClock& clock = systemClock());
  ~SerialLine() override;
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  size_t purge() override;
  size_t send(const uint8_t* bytes, size_t count) override;
  bool readByte(uint8_t& byte) override;
  void idle(unsigned ms, Sleeper& sleeper) override;
  void close() override;
  std::optional<AdapterLatency> adapterLatency() const override;

 private:
  std::unique_ptr<SerialDevice> device_;  // null once closed
  MonotonicClock& clock_;
  InputBuffer input_;
};

}  // namespace netsetup
