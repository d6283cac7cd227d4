#include "link/win32/TcpSocket.h"

#include <ws2tcpip.h>

#include <cstring>
#include <memory>

#include "link/Deadline.h"
#include "link/Sleeper.h"
#include "link/StatusCode.h"

namespace netsetup {

namespace {

// Once per process and never undone: a socket may live as long as the program.
bool startWinsock() {
  static const bool started = [] {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    if (data.wVersion == MAKEWORD(2, 2)) return true;
    ::WSACleanup();
    return false;
  }();
  return started;
}

enum class Readiness { Ready, TimedOut, Failed };

// select() on one socket until the deadline, for input or for a connect's end. Windows puts a
// failed connect in the exception set, never among the writable sockets.
Readiness waitForSocket(SOCKET socket, bool connecting, const Deadline& deadline) {
  for (;;) {
    const auto left = deadline.remaining().count();
    if (left <= 0) return Readiness::TimedOut;
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval limit{static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
    const int count = ::select(0, connecting ? nullptr : &ready, connecting ? &ready : nullptr,
                               connecting ? &failed : nullptr, &limit);
    if (count == SOCKET_ERROR) return Readiness::Failed;
    if (count > 0) return FD_ISSET(socket, &ready) ? Readiness::Ready : Readiness::Failed;
    // select's timer is coarse and may end a little early; finish the wait.
  }
}

// The Winsock error of a failed connect, 0 when the time ran out; -1 for success.
int finishConnect(SOCKET socket, const sockaddr_in& peer, std::chrono::milliseconds timeout) {
  u_long nonBlocking = 1;
  if (::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) return ::WSAGetLastError();
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return -1;
  if (::WSAGetLastError() != WSAEWOULDBLOCK) return ::WSAGetLastError();
  const Readiness ready = waitForSocket(socket, true, Deadline(systemClock(), timeout));
  if (ready == Readiness::TimedOut) return 0;
  int error = 0;
  int length = sizeof error;
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    return ::WSAGetLastError();
  }
  if (error != 0) return error;
  return ready == Readiness::Ready ? -1 : WSAECONNREFUSED;
}

}  // namespace

TcpConnectResult TcpSocket::connect(const Ipv4Octets& address, uint16_t port, std::chrono::milliseconds timeout,
                                    int* error) {
  if (!startWinsock()) return {ErrNetInit, nullptr};
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) {
    if (error) *error = ::WSAGetLastError();
    return {ErrNoSocket, nullptr};
  }
  std::unique_ptr<TcpSocket> transport(new TcpSocket(socket));

  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = ::htons(port);
  std::memcpy(&peer.sin_addr, address.data(), address.size());
  const int failure = finishConnect(socket, peer, timeout);
  if (failure >= 0) {
    if (error) *error = failure;
    return {ErrConnect, std::move(transport)};
  }

  const BOOL on = TRUE;  // a failure only costs latency
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return {StatusOk, std::move(transport)};
}

TcpSocket::~TcpSocket() { close(); }

// Whatever is waiting when a request goes out answers an earlier one, such as an attempt the
// link gave up on as too late; taken for this request's answer it would put a block's bytes
// in the place of the next. The serial line purges for the same reason.
void TcpSocket::purge() {
  char stale[256];
  while (socket_ != INVALID_SOCKET) {
    const int n = ::recv(socket_, stale, sizeof stale, 0);  // the socket does not block
    if (n > 0) continue;
    if (n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) peerClosed_ = true;
    return;
  }
}

size_t TcpSocket::send(const uint8_t* bytes, size_t count) {
  if (socket_ == INVALID_SOCKET) return 0;
  purge();
  const int n = ::send(socket_, reinterpret_cast<const char*>(bytes), static_cast<int>(count), 0);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

bool TcpSocket::readByte(uint8_t& byte) {
  if (socket_ == INVALID_SOCKET) return false;
  char received = 0;
  const int n = ::recv(socket_, &received, 1, 0);
  if (n == 1) {
    byte = static_cast<uint8_t>(received);
    return true;
  }
  if (n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) peerClosed_ = true;
  return false;
}

void TcpSocket::idle(unsigned ms, Sleeper& sleeper) {
  if (socket_ == INVALID_SOCKET || peerClosed_) {
    sleeper.sleepMs(ms);
    return;
  }
  const Deadline deadline(systemClock(), std::chrono::milliseconds(ms));
  if (waitForSocket(socket_, false, deadline) != Readiness::Failed) return;
  // select itself failed: nothing tells when input comes, so keep the pause its length.
  if (!deadline.expired()) sleeper.sleepMs(deadline.remainingMs());
}

void TcpSocket::close() {
  if (socket_ == INVALID_SOCKET) return;
  ::closesocket(socket_);
  socket_ = INVALID_SOCKET;
}

}  // namespace netsetup
