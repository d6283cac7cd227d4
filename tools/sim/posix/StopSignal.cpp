#include "StopSignal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace netsetup {

StopSignal::StopSignal() {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) pipe_[0] = pipe_[1] = -1;
}

StopSignal::~StopSignal() {
  for (int fd : pipe_) {
    if (fd >= 0) ::close(fd);
  }
}

void StopSignal::trigger() {
  triggered_ = true;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(pipe_[1], &byte, 1);
}

void StopSignal::clear() {
  char buffer[16];
  while (::read(pipe_[0], buffer, sizeof buffer) > 0) {
  }
  triggered_ = false;
}

bool StopSignal::waitUntil(Clock::time_point deadline) const {
  for (;;) {
    if (triggered_) return false;
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return true;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    pollfd stop{pipe_[0], POLLIN, 0};
    if (::ppoll(&stop, 1, &timeout, nullptr) > 0) return false;
  }
}

}  // namespace netsetup
