#include "PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "AnswerWriter.h"
#include "FrameSummary.h"
#include "PtyLineRate.h"
#include "RequestParser.h"

namespace netsetup {

namespace {

constexpr int kFrameTimeoutMs = 200;
const char* const kChannel = "pty";

Failure systemFailure(const std::string& what) { return {what, std::strerror(errno)}; }

std::string readLink(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
  return n < 0 ? std::string() : std::string(target, static_cast<size_t>(n));
}

}  // namespace

PtyServer::PtyServer(InstrumentBus& bus, LineTiming timing) : bus_(bus) { setTiming(timing); }

void PtyServer::setTiming(const LineTiming& timing) {
  std::lock_guard lock(timingMutex_);
  timing_ = timing;
  timing_.dropAfterBytes.reset();  // a serial line cannot hang up
}

LineTiming PtyServer::timing() const {
  std::lock_guard lock(timingMutex_);
  return timing_;
}

PtyServer::~PtyServer() {
  stop();
  release();
}

Result<void> PtyServer::open(const std::string& linkPath) {
  char name[PATH_MAX];
  if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return systemFailure("openpty");
  slavePath_ = name;
  for (int fd : {master_, slave_}) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  termios raw{};
  ::tcgetattr(slave_, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(slave_, TCSANOW, &raw);

  watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch_ < 0 || ::inotify_add_watch(watch_, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
    const Failure error = systemFailure("inotify on " + slavePath_);
    release();
    return error;
  }
  if (!linkPath.empty()) {
    struct stat existing {};
    if (::lstat(linkPath.c_str(), &existing) == 0) {
      if (!S_ISLNK(existing.st_mode)) {
        release();
        return Failure{linkPath + " exists and is not a symbolic link"};
      }
      ::unlink(linkPath.c_str());
    }
    if (::symlink(name, linkPath.c_str()) != 0) {
      const Failure error = systemFailure("cannot create the link " + linkPath);
      release();
      return error;
    }
    linkPath_ = linkPath;
  }
  return {};
}

void PtyServer::start() {
  if (thread_.joinable() || master_ < 0) return;
  stop_.clear();
  thread_ = std::thread([this] { serve(); });
}

void PtyServer::stop() {
  stop_.trigger();
  if (thread_.joinable()) thread_.join();
  // Remove the link only while it still names our slave: another simulator may own it now.
  if (!linkPath_.empty() && readLink(linkPath_) == slavePath_) ::unlink(linkPath_.c_str());
  linkPath_.clear();
}

void PtyServer::release() {
  for (int* fd : {&watch_, &slave_, &master_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

void PtyServer::serve() {
  bus_.note(kChannel, "serving " + slavePath_ + (linkPath_.empty() ? "" : " (link " + linkPath_ + ")"));
  RequestParser parser;
  while (!stop_.triggered()) {
    pollfd fds[3] = {{master_, POLLIN, 0}, {watch_, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
    const int ready = ::poll(fds, 3, parser.pending() || noiseRate_ ? kFrameTimeoutMs : -1);
    if (stop_.triggered()) break;
    if (ready < 0) {
      if (errno == EINTR) continue;
      bus_.note(kChannel, systemFailure("poll").text());
      break;
    }
    if (ready == 0) {
      noiseRate_.reset();  // the burst is over; the next one is logged afresh
      if (parser.pending())
        bus_.note(kChannel, "line idle, incomplete bytes dropped: " + hexBytes(parser.reset()));
      continue;
    }
    // Opens and closes first, so the transcript shows them before the requests they frame.
    if (fds[1].revents & POLLIN && !handleDeviceEvents()) break;
    if (fds[0].revents & POLLIN) handleInput(parser);
  }
}

bool PtyServer::handleDeviceEvents() {
  alignas(inotify_event) char buffer[4096];
  const ssize_t n = ::read(watch_, buffer, sizeof buffer);
  if (n <= 0) return errno == EAGAIN || errno == EINTR;
  for (char* p = buffer; p < buffer + n;) {
    const auto* event = reinterpret_cast<const inotify_event*>(p);
    if (event->mask & IN_OPEN) bus_.note(kChannel, "device opened");
    if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
      // A closed client leaves its exclusive-use flag on the slave (the terminal itself lives on
      // with the master); lift it so that the next open succeeds for an ordinary user.
      ::ioctl(slave_, TIOCNXCL);
      bus_.note(kChannel, "device closed");
    }
    p += sizeof(inotify_event) + event->len;
  }
  return true;
}

void PtyServer::handleInput(RequestParser& parser) {
  uint8_t buffer[512];
  const ssize_t n = ::read(master_, buffer, sizeof buffer);
  if (n <= 0) return;
  const LineTiming line = timing();
  if (line.strictRate && !lineRateMatches(line)) return;
  for (const RequestFrame& frame : parser.feed(buffer, static_cast<size_t>(n))) {
    for (const InstrumentResponse& answer : bus_.handle(frame, kChannel)) {
      // The timing faults reach only the answers in the faults' scope.
      const LineTiming timing = answer.inScope ? line : line.withoutFaults();
      if (!stop_.waitMs(timing.delayMs)) return;
      bus_.logAnswer(kChannel, answer);
      const WriteOutcome outcome = writeAnswer(master_, false, answer.bytes, timing, stop_);
      if (outcome == WriteOutcome::Stopped) return;
      if (outcome == WriteOutcome::Failed) bus_.note(kChannel, "answer not delivered: the line is full");
    }
  }
}

// The client may change its rate between opens (a scan tries one rate after another), so the
// rate is read afresh for every chunk. At another rate a real instrument hears only garbage.
bool PtyServer::lineRateMatches(const LineTiming& timing) {
  const std::optional<unsigned> rate = slaveLineRate(master_);
  if (rate == timing.baud) {
    noiseRate_.reset();
    return true;
  }
  const unsigned seen = rate.value_or(0);
  if (noiseRate_ != seen) {
    noiseRate_ = seen;
    const std::string line = rate ? "line at " + std::to_string(*rate) + " baud" : "line rate unreadable";
    bus_.note(kChannel,
              line + ", instrument at " + std::to_string(timing.baud) + ": bytes taken as noise, no answer");
  }
  return false;
}

}  // namespace netsetup
