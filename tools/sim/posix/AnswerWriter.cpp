#include "AnswerWriter.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace netsetup {

namespace {

constexpr int kFullLineTimeoutMs = 1000;

WriteOutcome writeAll(int fd, bool isSocket, const uint8_t* bytes, size_t count, const StopSignal& stop) {
  while (count > 0) {
    const ssize_t n = isSocket ? ::send(fd, bytes, count, MSG_NOSIGNAL) : ::write(fd, bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd fds[2] = {{fd, POLLOUT, 0}, {stop.fd(), POLLIN, 0}};
      const int ready = ::poll(fds, 2, kFullLineTimeoutMs);
      if (stop.triggered()) return WriteOutcome::Stopped;
      if (ready == 0) return WriteOutcome::Failed;
      continue;
    }
    return WriteOutcome::Failed;
  }
  return WriteOutcome::Sent;
}

}  // namespace

WriteOutcome writeAnswer(int fd, bool isSocket, const std::vector<uint8_t>& bytes, const LineTiming& timing,
                         const StopSignal& stop) {
  const size_t count =
      timing.dropAfterBytes ? std::min<size_t>(*timing.dropAfterBytes, bytes.size()) : bytes.size();
  const size_t late = timing.lateByte ? std::min<size_t>(timing.lateByte->index, count) : count;
  if (!timing.paced()) {
    WriteOutcome outcome = writeAll(fd, isSocket, bytes.data(), late, stop);
    if (outcome != WriteOutcome::Sent) return outcome;
    if (late < count) {
      if (!stop.waitMs(timing.lateByte->ms)) return WriteOutcome::Stopped;
      outcome = writeAll(fd, isSocket, bytes.data() + late, count - late, stop);
      if (outcome != WriteOutcome::Sent) return outcome;
    }
  } else {
    // Byte k is complete on a real line at start + (k + 1) frame times, plus the gaps before it
    // and the hold of a late byte at or before it.
    using namespace std::chrono;
    const auto byteTime = timing.baud ? nanoseconds(10'000'000'000LL / timing.baud) : nanoseconds(0);
    const auto gap = milliseconds(timing.byteGapMs);
    const auto hold = milliseconds(timing.lateByte ? timing.lateByte->ms : 0);
    const auto start = StopSignal::Clock::now();
    for (size_t k = 0; k < count; ++k) {
      const auto due = start + byteTime * static_cast<long>(k + 1) + gap * static_cast<long>(k) +
                       (k >= late ? hold : milliseconds(0));
      if (!stop.waitUntil(due)) return WriteOutcome::Stopped;
      const WriteOutcome outcome = writeAll(fd, isSocket, &bytes[k], 1, stop);
      if (outcome != WriteOutcome::Sent) return outcome;
    }
  }
  return timing.dropAfterBytes ? WriteOutcome::Dropped : WriteOutcome::Sent;
}

}  // namespace netsetup
