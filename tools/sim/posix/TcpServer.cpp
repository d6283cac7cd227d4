#include "TcpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "AnswerWriter.h"
#include "FrameSummary.h"
#include "RequestParser.h"

namespace netsetup {

namespace {

// A real instrument forgets a half-received request after a pause on the line.
constexpr int kFrameTimeoutMs = 200;
// Clients are served at once, so the queue only has to absorb a burst of connects.
constexpr int kBacklog = 32;
const char* const kStopping = "server stopping, connection closed";

std::string peerName(const sockaddr_in& peer) {
  char text[INET_ADDRSTRLEN] = "?";
  ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(peer.sin_port));
}

}  // namespace

TcpServer::~TcpServer() { stop(); }

Result<void> TcpServer::open(const std::string& host, uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    return Failure{"not a dotted IPv4 address: " + host};
  }
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) return Failure{"socket", std::strerror(errno)};
  const int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, kBacklog) != 0) {
    const Failure failure{"cannot listen on " + host + ":" + std::to_string(port), std::strerror(errno)};
    ::close(listener_);
    listener_ = -1;
    return failure;
  }
  socklen_t length = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  host_ = host;
  port_ = ntohs(address.sin_port);
  return {};
}

void TcpServer::start() {
  if (thread_.joinable() || listener_ < 0) return;
  stop_.clear();
  thread_ = std::thread([this] { serve(); });
}

void TcpServer::stop() {
  stop_.trigger();
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) {
    ::close(listener_);
    listener_ = -1;
  }
}

void TcpServer::setTiming(const LineTiming& timing) {
  std::lock_guard lock(timingMutex_);
  timing_ = timing;
}

LineTiming TcpServer::timingFor(const InstrumentResponse& answer) const {
  std::lock_guard lock(timingMutex_);
  return answer.inScope ? timing_ : timing_.withoutFaults();
}

void TcpServer::serve() {
  bus_.note("tcp", "listening on " + endpoint());
  while (!stop_.triggered()) {
    pollfd fds[3] = {{listener_, POLLIN, 0}, {clientFinished_.fd(), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0 && errno != EINTR) {
      bus_.note("tcp", std::string("poll: ") + std::strerror(errno) + "; no longer accepting");
      break;
    }
    if (stop_.triggered()) break;
    if (fds[1].revents & POLLIN) {
      clientFinished_.clear();
      reapClients(false);
    }
    if (!(fds[0].revents & POLLIN)) continue;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int client =
        ::accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) {
      // Out of descriptors, the connection stays queued and the listener readable: back off
      // instead of spinning until a client leaves.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        bus_.note("tcp", std::string("accept: ") + std::strerror(errno));
        stop_.waitMs(100);
      }
      continue;
    }
    const int on = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const std::string channel = "tcp#" + std::to_string(++connections_);
    bus_.note(channel, "connected from " + peerName(peer));
    startClient(client, channel);
  }
  // Every client thread watches stop_ as well, so these joins are prompt.
  reapClients(true);
}

void TcpServer::startClient(int fd, const std::string& channel) {
  Client& client = clients_.emplace_back();
  try {
    client.thread = std::thread([this, &client, fd, channel] {
      const std::string reason = serveClient(fd, channel);
      ::close(fd);
      bus_.note(channel, reason);
      client.finished = true;
      clientFinished_.trigger();
    });
  } catch (const std::system_error& error) {
    clients_.pop_back();
    ::close(fd);
    bus_.note(channel, std::string("closed, no thread to serve it: ") + error.what());
  }
}

void TcpServer::reapClients(bool all) {
  for (auto it = clients_.begin(); it != clients_.end();) {
    if (all || it->finished) {
      it->thread.join();
      it = clients_.erase(it);
    } else {
      ++it;
    }
  }
}

std::string TcpServer::serveClient(int fd, const std::string& channel) {
  RequestParser parser;
  uint8_t buffer[512];
  for (;;) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, parser.pending() ? kFrameTimeoutMs : -1);
    if (stop_.triggered()) return kStopping;
    if (ready < 0) {
      if (errno == EINTR) continue;
      return std::string("poll: ") + std::strerror(errno) + ", connection closed";
    }
    if (ready == 0) {
      const std::vector<uint8_t> dropped = parser.reset();
      bus_.note(channel, "line idle, incomplete bytes dropped: " + hexBytes(dropped));
      continue;
    }
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n == 0) return "closed by the client";
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return std::string("the client is gone: ") + std::strerror(errno);
    }
    for (const RequestFrame& frame : parser.feed(buffer, static_cast<size_t>(n))) {
      for (const InstrumentResponse& answer : bus_.handle(frame, channel)) {
        const LineTiming timing = timingFor(answer);
        if (!stop_.waitMs(timing.delayMs)) return kStopping;
        bus_.logAnswer(channel, answer);
        switch (writeAnswer(fd, true, answer.bytes, timing, stop_)) {
          case WriteOutcome::Sent:
            break;
          case WriteOutcome::Stopped:
            return kStopping;
          case WriteOutcome::Dropped:
            return "hung up after " + std::to_string(*timing.dropAfterBytes) + " bytes of the answer";
          case WriteOutcome::Failed:
            return "the client is gone";
        }
      }
    }
  }
}

}  // namespace netsetup
