#include "link/posix/TcpSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "link/posix/FdWait.h"
#include "link/Sleeper.h"
#include "link/StatusCode.h"

namespace netsetup {

namespace {

// The system's error of a failed connect, 0 when the time ran out; -1 for success.
int finishConnect(int fd, const sockaddr_in& peer, std::chrono::milliseconds timeout) {
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return -1;
  // An interrupted connect goes on in the background like one in progress.
  if (errno != EINPROGRESS && errno != EINTR) return errno;

  const short events = waitForFd(fd, POLLOUT, Deadline(systemClock(), timeout));
  if (events == 0) return 0;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error == 0 ? -1 : error;
}

}  // namespace

TcpConnectResult TcpSocket::connect(const Ipv4Octets& address, uint16_t port,
                                    std::chrono::milliseconds timeout, int* error) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    if (error) *error = errno;
    return {ErrNoSocket, nullptr};
  }
  std::unique_ptr<TcpSocket> transport(new TcpSocket(fd));

  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  std::memcpy(&peer.sin_addr.s_addr, address.data(), address.size());
  const int failure = finishConnect(fd, peer, timeout);
  if (failure >= 0) {
    if (error) *error = failure;
    return {ErrConnect, std::move(transport)};
  }

  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // a failure only costs latency
  return {StatusOk, std::move(transport)};
}

TcpSocket::~TcpSocket() { close(); }

// Whatever is waiting when a request goes out answers an earlier one, such as an attempt the
// link gave up on as too late; taken for this request's answer it would put a block's bytes
// in the place of the next. The serial line purges for the same reason.
void TcpSocket::purge() {
  uint8_t stale[256];
  while (fd_ >= 0) {
    const ssize_t n = ::recv(fd_, stale, sizeof stale, MSG_DONTWAIT);
    if (n > 0 || (n < 0 && errno == EINTR)) continue;
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) peerClosed_ = true;
    return;
  }
}

size_t TcpSocket::send(const uint8_t* bytes, size_t count) {
  if (fd_ < 0) return 0;
  purge();
  ssize_t n;
  do {
    n = ::send(fd_, bytes, count, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

bool TcpSocket::readByte(uint8_t& byte) {
  if (fd_ < 0) return false;
  const ssize_t n = ::recv(fd_, &byte, 1, MSG_DONTWAIT);
  if (n == 1) return true;
  if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) peerClosed_ = true;
  return false;
}

void TcpSocket::idle(unsigned ms, Sleeper& sleeper) {
  if (fd_ < 0 || peerClosed_) {
    sleeper.sleepMs(ms);
    return;
  }
  const Deadline deadline(systemClock(), std::chrono::milliseconds(ms));
  const short events = waitForFd(fd_, POLLIN, deadline);
  if ((events & POLLIN) != 0 || events == 0) return;
  // An error without input: the next read finds it; keep the pause its length meanwhile.
  if (!deadline.expired()) sleeper.sleepMs(deadline.remainingMs());
}

void TcpSocket::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace netsetup
