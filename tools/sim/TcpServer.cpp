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

#include "AnswerWriter.h"
#include "FrameSummary.h"
#include "RequestParser.h"

namespace netsetup {

namespace {

// A real instrument forgets a half-received request after a pause on the line.
constexpr int kFrameTimeoutMs = 200;

std::string peerName(const sockaddr_in& peer) {
  char text[INET_ADDRSTRLEN] = "?";
  ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(peer.sin_port));
}

}  // namespace

TcpServer::~TcpServer() { stop(); }

std::string TcpServer::open(const std::string& host, uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    return "not a dotted IPv4 address: " + host;
  }
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) return std::string("socket: ") + std::strerror(errno);
  const int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 4) != 0) {
    const std::string error =
        "cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
    ::close(listener_);
    listener_ = -1;
    return error;
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

void TcpServer::serve() {
  bus_.note("tcp", "listening on " + endpoint());
  while (!stop_.triggered()) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) break;
    if (stop_.triggered()) break;
    if (!(fds[0].revents & POLLIN)) continue;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int client =
        ::accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) continue;
    const int on = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const std::string channel = "tcp#" + std::to_string(++connections_);
    bus_.note(channel, "connected from " + peerName(peer));
    serveClient(client, channel);
    ::close(client);
  }
}

void TcpServer::serveClient(int client, const std::string& channel) {
  RequestParser parser;
  uint8_t buffer[512];
  for (;;) {
    pollfd fds[2] = {{client, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, parser.pending() ? kFrameTimeoutMs : -1);
    if (stop_.triggered()) return bus_.note(channel, "server stopping, connection closed");
    if (ready < 0) {
      if (errno == EINTR) continue;
      return bus_.note(channel, std::string("poll: ") + std::strerror(errno));
    }
    if (ready == 0) {
      const std::vector<uint8_t> dropped = parser.reset();
      bus_.note(channel, "line idle, incomplete bytes dropped: " + hexBytes(dropped));
      continue;
    }
    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
    if (n == 0) return bus_.note(channel, "closed by the client");
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return bus_.note(channel, std::string("receive failed: ") + std::strerror(errno));
    }
    for (const RequestFrame& frame : parser.feed(buffer, static_cast<size_t>(n))) {
      for (const InstrumentResponse& answer : bus_.handle(frame, channel)) {
        if (!stop_.waitMs(timing_.delayMs)) return;
        bus_.logAnswer(channel, answer);
        switch (writeAnswer(client, true, answer.bytes, timing_, stop_)) {
          case WriteOutcome::Sent:
            break;
          case WriteOutcome::Stopped:
            return;
          case WriteOutcome::Dropped:
            return bus_.note(
                channel, "hung up after " + std::to_string(*timing_.dropAfterBytes) + " bytes of the answer");
          case WriteOutcome::Failed:
            return bus_.note(channel, "the client is gone");
        }
      }
    }
  }
}

}  // namespace netsetup
