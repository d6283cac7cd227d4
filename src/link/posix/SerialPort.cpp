#include "link/posix/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "link/posix/FdWait.h"
#include "link/posix/LowLatency.h"
#include "link/posix/SerialTermios2.h"

namespace netsetup {

namespace {

constexpr short kBroken = POLLERR | POLLHUP | POLLNVAL;

}  // namespace

Result<std::unique_ptr<SerialLine>, SerialFailure> openSerialPort(const std::string& device, int32_t baud) {
  return SerialPort::open(device, baud);
}

Result<std::unique_ptr<SerialLine>, SerialFailure> SerialPort::open(const std::string& device, int32_t baud,
                                                                    IoctlCalls& calls) {
  const auto fail = [](SerialFailure::Step step, int error) { return SerialFailure{step, error}; };
  if (device.empty() || baud <= 0) return fail(SerialFailure::Step::Configure, EINVAL);
  UniqueFd fd(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return fail(SerialFailure::Step::Open, errno);
  // The lock stops cooperating processes, root included; TIOCEXCL keeps out every later open
  // by ordinary users. The lock comes first so a busy port's exclusivity is never touched.
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return fail(SerialFailure::Step::Lock, errno);
  std::unique_ptr<SerialPort> port(new SerialPort(std::move(fd), calls));
  const int tty = port->fd_.get();
  if (calls.ioctl(tty, TIOCEXCL, nullptr) != 0) return fail(SerialFailure::Step::Exclusive, errno);
  if (!configureRawLine(tty, static_cast<uint32_t>(baud), calls)) return fail(SerialFailure::Step::Configure, errno);
  // Last, so a port that refuses the line settings is never left with its driver's flags changed.
  const LowLatencyGrant grant = requestLowLatency(tty, calls);
  port->latency_.lowLatency = grant.state;
  port->flagsToRestore_ = grant.previousFlags;
  auto line = std::make_unique<SerialLine>(std::move(port));
  line->purge();
  return line;
}

SerialPort::~SerialPort() {
  // The flags belong to the driver and outlive this fd: the next program gets them as we found them.
  if (flagsToRestore_) restoreSerialFlags(fd_.get(), *flagsToRestore_, calls_);
  // The exclusive flag belongs to the tty, not to this fd: if someone else keeps the tty open
  // (a simulator's pseudo-terminal), it would refuse our own next open.
  calls_.ioctl(fd_.get(), TIOCNXCL, nullptr);
}  // closing the fd drops the lock

size_t SerialPort::purge() {
  int waiting = 0;
  if (::ioctl(fd_.get(), FIONREAD, &waiting) != 0) waiting = 0;
  ::tcflush(fd_.get(), TCIOFLUSH);
  return static_cast<size_t>(waiting);
}

bool SerialPort::writeByte(uint8_t byte, const Deadline& deadline) {
  for (;;) {
    const ssize_t n = ::write(fd_.get(), &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      const short events = waitForFd(fd_.get(), POLLOUT, deadline);
      if ((events & POLLOUT) != 0 && (events & kBroken) == 0) continue;
    }
    return false;
  }
}

size_t SerialPort::read(uint8_t* into, size_t room, const Deadline& deadline) {
  for (;;) {
    const ssize_t n = ::read(fd_.get(), into, room);
    if (n > 0) return static_cast<size_t>(n);
    if (n < 0 && errno == EINTR) continue;
    // With VMIN = VTIME = 0 an empty tty reads 0 rather than failing with EAGAIN.
    const bool empty = n == 0 || errno == EAGAIN || errno == EWOULDBLOCK;
    if (!empty) return 0;
    // A line that hung up (an adapter pulled out) polls as readable for ever while every read
    // finds nothing.
    const short events = waitForFd(fd_.get(), POLLIN, deadline);
    if (events == 0 || (events & kBroken) != 0) return 0;
  }
}

InputWait SerialPort::waitForInput(const Deadline& deadline) {
  const short events = waitForFd(fd_.get(), POLLIN, deadline);
  if ((events & kBroken) != 0) return InputWait::Unknown;
  return events == 0 ? InputWait::TimedOut : InputWait::Arrived;
}

}  // namespace netsetup
