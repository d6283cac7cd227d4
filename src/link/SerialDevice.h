#pragma once
#include <cstddef>
#include <cstdint>

#include "link/AdapterLatency.h"
#include "link/Deadline.h"
#include "link/InputWait.h"

namespace netsetup {

// The system calls under a serial line, one platform's (src/link/posix, src/link/win32);
// SerialLine holds the rules above them.
class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  // Empties the driver's queues both ways and ends the transfers under way; how many bytes of
  // input it dropped, as far as the driver says.
  virtual size_t purge() = 0;

  // One write call for one byte: true once it has left, waiting for that until `deadline`.
  virtual bool writeByte(uint8_t byte, const Deadline& deadline) = 0;

  // What has arrived, up to `room` bytes; when nothing has, waits for the first until about
  // `deadline`. 0 when nothing came, or when the line fails (a device gone, a hang-up).
  virtual size_t read(uint8_t* into, size_t room, const Deadline& deadline) = 0;

  // Waits until input arrives or `deadline` passes.
  virtual InputWait waitForInput(const Deadline& deadline) = 0;

  // What the open learned about the adapter's latency.
  virtual AdapterLatency adapterLatency() const { return {}; }
};

}  // namespace netsetup
