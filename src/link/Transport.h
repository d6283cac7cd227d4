#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "link/AdapterLatency.h"

namespace netsetup {

class Sleeper;

// One open line to the instrument: a serial port or a TCP connection.
class Transport {
 public:
  virtual ~Transport() = default;

  // Discards unread input, and unsent output where the line queues it (not TCP); how many bytes
  // of input it dropped, as far as the line can tell.
  virtual size_t purge() = 0;

  // Sends the bytes (serial: one write per byte; TCP: one send). Returns how many went out.
  virtual size_t send(const uint8_t* bytes, size_t count) = 0;

  // One poll for one byte. Serial waits up to about 25 ms for it; TCP does not wait.
  virtual bool readByte(uint8_t& byte) = 0;

  // The idle time after an empty poll: `ms` milliseconds, ended early when input becomes
  // readable. The default sleeps through the link's sleeper, which tests count.
  virtual void idle(unsigned ms, Sleeper& sleeper);

  virtual void close() = 0;

  // What the open learned about a serial adapter's latency; nothing for other lines.
  virtual std::optional<AdapterLatency> adapterLatency() const { return std::nullopt; }
};

}  // namespace netsetup
