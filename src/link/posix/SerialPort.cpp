#include "link/posix/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "link/posix/FdWait.h"
#include "link/posix/SerialTermios2.h"
#include "link/Sleeper.h"

namespace netsetup {

namespace {

constexpr short kBroken = POLLERR | POLLHUP | POLLNVAL;

}  // namespace

std::unique_ptr<SerialPort> SerialPort::open(const std::string& device, int32_t baud, SerialFailure* failure) {
  auto fail = [failure](SerialFailure::Step step, int error) -> std::unique_ptr<SerialPort> {
    if (failure) *failure = {step, error};
    return nullptr;
  };
  if (device.empty() || baud <= 0) return fail(SerialFailure::Step::Configure, EINVAL);
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(SerialFailure::Step::Open, errno);
  // The lock stops cooperating processes, root included; TIOCEXCL keeps out every later open
  // by ordinary users. The lock comes first so a busy port's exclusivity is never touched.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return fail(SerialFailure::Step::Lock, error);
  }
  std::unique_ptr<SerialPort> port(new SerialPort(fd));
  if (::ioctl(fd, TIOCEXCL) != 0) return fail(SerialFailure::Step::Exclusive, errno);
  if (!configureRawLine(fd, static_cast<uint32_t>(baud))) return fail(SerialFailure::Step::Configure, errno);
  port->purge();
  return port;
}

SerialPort::~SerialPort() { close(); }

void SerialPort::purge() {
  if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

size_t SerialPort::send(const uint8_t* bytes, size_t count) {
  size_t sent = 0;
  bool lineMoves = true;
  for (size_t i = 0; i < count; ++i) {
    // Once a byte could not leave within its bound, later ones get no wait of their own.
    if (writeOne(bytes[i], lineMoves)) {
      ++sent;
    } else {
      lineMoves = false;
    }
  }
  return sent;
}

bool SerialPort::writeOne(uint8_t byte, bool mayWait) {
  if (fd_ < 0) return false;
  const Deadline deadline(systemClock(), std::chrono::milliseconds(mayWait ? kWriteTimeoutMs : 0));
  for (;;) {
    const ssize_t n = ::write(fd_, &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      const short events = waitForFd(fd_, POLLOUT, deadline);
      if ((events & POLLOUT) != 0 && (events & kBroken) == 0) continue;
    }
    return false;
  }
}

bool SerialPort::readByte(uint8_t& byte) {
  if (fd_ < 0) return false;
  const Deadline deadline(systemClock(), std::chrono::milliseconds(kReadTimeoutMs));
  for (;;) {
    const ssize_t n = ::read(fd_, &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    // With VMIN = VTIME = 0 an empty tty reads 0 rather than failing with EAGAIN.
    const bool empty = n == 0 || errno == EAGAIN || errno == EWOULDBLOCK;
    const short events = empty ? waitForFd(fd_, POLLIN, deadline) : kBroken;
    if (events == 0) return false;
    // A line that hung up (an adapter pulled out) polls as readable for ever while every read
    // finds nothing. Keep the poll's nominal length, so the caller's time-outs mean the same
    // and it does not spin.
    if ((events & kBroken) != 0) {
      systemClock().sleepUntil(deadline.end());
      return false;
    }
  }
}

void SerialPort::idle(unsigned ms, Sleeper& sleeper) {
  if (fd_ < 0) {
    sleeper.sleepMs(ms);
    return;
  }
  const Deadline deadline(systemClock(), std::chrono::milliseconds(ms));
  const short events = waitForFd(fd_, POLLIN, deadline);
  if ((events & kBroken) == 0) return;
  if (!deadline.expired()) sleeper.sleepMs(deadline.remainingMs());
}

void SerialPort::close() {
  if (fd_ < 0) return;
  // The exclusive flag belongs to the tty, not to this fd: if someone else keeps the tty open
  // (a simulator's pseudo-terminal), it would refuse our own next open.
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);  // also drops the lock
  fd_ = -1;
}

}  // namespace netsetup
