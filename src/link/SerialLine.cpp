#include "link/SerialLine.h"

#include "link/Sleeper.h"

namespace netsetup {

using std::chrono::milliseconds;

SerialLine::SerialLine(std::unique_ptr<SerialDevice> device, MonotonicClock& clock)
    : device_(std::move(device)), clock_(clock) {}

SerialLine::~SerialLine() { close(); }

size_t SerialLine::purge() {
  const size_t buffered = input_.size();
  input_.clear();
  return buffered + (device_ ? device_->purge() : 0);
}

size_t SerialLine::send(const uint8_t* bytes, size_t count) {
  if (!device_) return 0;
  size_t sent = 0;
  bool lineMoves = true;
  for (size_t i = 0; i < count; ++i) {
    // Once a byte could not leave within its bound, later ones get no wait of their own.
    if (device_->writeByte(bytes[i], Deadline(clock_, milliseconds(lineMoves ? kWriteTimeoutMs : 0)))) {
      ++sent;
    } else {
      lineMoves = false;
    }
  }
  return sent;
}

bool SerialLine::readByte(uint8_t& byte) {
  if (input_.take(byte)) return true;
  if (!device_) return false;
  const Deadline deadline(clock_, milliseconds(kReadTimeoutMs));
  if (const size_t count = device_->read(input_.space(), input_.room(), deadline)) {
    input_.filled(count);
    return input_.take(byte);
  }
  // A poll that brings nothing lasts its whole length, whatever ended it early (a device gone,
  // a line hung up, a driver's shorter time-out): the link's time-outs mean the same on every
  // line, and nothing spins.
  clock_.sleepUntil(deadline.end());
  return false;
}

void SerialLine::idle(unsigned ms, Sleeper& sleeper) {
  const Deadline deadline(clock_, milliseconds(ms));
  if (device_ && device_->waitForInput(deadline) != InputWait::Unknown) return;
  // Nothing tells when input comes: the pause keeps its length.
  if (!deadline.expired()) sleeper.sleepMs(deadline.remainingMs());
}

std::optional<AdapterLatency> SerialLine::adapterLatency() const {
  if (!device_) return std::nullopt;
  return device_->adapterLatency();
}

void SerialLine::close() {
  input_.clear();
  device_.reset();
}

}  // namespace netsetup
