#include "link/posix/TcpSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "link/HostName.h"
#include "link/PlatformLines.h"
#include "link/StatusCode.h"
#include "link/posix/FdWait.h"

namespace netsetup {

Result<std::unique_ptr<SocketDevice>, SocketFailure> openSocket() {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return SocketFailure{ErrNoSocket, errno};
  return std::unique_ptr<SocketDevice>(std::make_unique<TcpSocket>(std::move(fd)));
}

Result<void, SocketFailure> TcpSocket::connect(const Ipv4Octets& address, uint16_t port, const Deadline& deadline) {
  const auto failed = [](int error) { return SocketFailure{ErrConnect, error}; };
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  std::memcpy(&peer.sin_addr.s_addr, address.data(), address.size());
  if (::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return {};
  // An interrupted connect goes on in the background like one in progress.
  if (errno != EINPROGRESS && errno != EINTR) return failed(errno);

  const short events = waitForFd(fd_.get(), POLLOUT, deadline);
  if (events == 0) return failed(0);
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) return failed(errno);
  if (error != 0) return failed(error);
  return {};
}

void TcpSocket::setNoDelay() {
  const int on = 1;
  ::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

SocketDevice::Received TcpSocket::receive(uint8_t* into, size_t room) {
  for (;;) {
    const ssize_t n = ::recv(fd_.get(), into, room, MSG_DONTWAIT);
    if (n > 0) return {static_cast<size_t>(n), false};
    if (n < 0 && errno == EINTR) continue;
    return {0, n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)};
  }
}

size_t TcpSocket::send(const uint8_t* bytes, size_t count) {
  ssize_t n;
  do {
    n = ::send(fd_.get(), bytes, count, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

InputWait TcpSocket::waitForInput(const Deadline& deadline) {
  const short events = waitForFd(fd_.get(), POLLIN, deadline);
  if (events == 0) return InputWait::TimedOut;
  return (events & POLLIN) != 0 ? InputWait::Arrived : InputWait::Unknown;
}

Result<Ipv4Octets> resolveHostName(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (error != 0 || !found) {
    return Failure{"cannot find the host " + name, error == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(error)};
  }
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  Ipv4Octets octets;
  std::memcpy(octets.data(), &address->sin_addr.s_addr, octets.size());
  ::freeaddrinfo(found);
  return octets;
}

}  // namespace netsetup
