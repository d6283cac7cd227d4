#include "link/win32/TcpSocket.h"

#include <ws2tcpip.h>

#include <cstring>
#include <memory>

#include "link/HostName.h"
#include "link/PlatformLines.h"
#include "link/StatusCode.h"
#include "link/win32/OpenDiagnosis.h"

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

}  // namespace

Result<std::unique_ptr<SocketDevice>, SocketFailure> openSocket() {
  if (!startWinsock()) return SocketFailure{ErrNetInit, 0};
  UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!socket) return SocketFailure{ErrNoSocket, ::WSAGetLastError()};
  return std::unique_ptr<SocketDevice>(std::make_unique<TcpSocket>(std::move(socket)));
}

Result<void, SocketFailure> TcpSocket::connect(const Ipv4Octets& address, uint16_t port, const Deadline& deadline) {
  const auto failed = [](int error) { return SocketFailure{ErrConnect, error}; };
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = ::htons(port);
  std::memcpy(&peer.sin_addr, address.data(), address.size());
  u_long nonBlocking = 1;
  if (::ioctlsocket(socket_.get(), FIONBIO, &nonBlocking) != 0) return failed(::WSAGetLastError());
  if (::connect(socket_.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return {};
  if (::WSAGetLastError() != WSAEWOULDBLOCK) return failed(::WSAGetLastError());
  const Readiness ready = waitForSocket(socket_.get(), true, deadline);
  if (ready == Readiness::TimedOut) return failed(0);
  int error = 0;
  int length = sizeof error;
  if (::getsockopt(socket_.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    return failed(::WSAGetLastError());
  }
  if (error != 0) return failed(error);
  if (ready != Readiness::Ready) return failed(WSAECONNREFUSED);
  return {};
}

void TcpSocket::setNoDelay() {
  const BOOL on = TRUE;
  ::setsockopt(socket_.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

SocketDevice::Received TcpSocket::receive(uint8_t* into, size_t room) {
  const int n = ::recv(socket_.get(), reinterpret_cast<char*>(into), static_cast<int>(room), 0);  // does not block
  if (n > 0) return {static_cast<size_t>(n), false};
  return {0, n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK};
}

size_t TcpSocket::send(const uint8_t* bytes, size_t count) {
  const int n = ::send(socket_.get(), reinterpret_cast<const char*>(bytes), static_cast<int>(count), 0);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

// A failed select tells nothing of when input comes.
InputWait TcpSocket::waitForInput(const Deadline& deadline) {
  switch (waitForSocket(socket_.get(), false, deadline)) {
    case Readiness::Ready: return InputWait::Arrived;
    case Readiness::TimedOut: return InputWait::TimedOut;
    case Readiness::Failed: break;
  }
  return InputWait::Unknown;
}

Result<Ipv4Octets> resolveHostName(const std::string& name) {
  if (!startWinsock()) return Failure{"cannot find the host " + name, "the Windows socket library could not be started"};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (error != 0 || !found) return Failure{"cannot find the host " + name, systemMessage(static_cast<DWORD>(error))};
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  Ipv4Octets octets;
  std::memcpy(octets.data(), &address->sin_addr.s_addr, octets.size());
  ::freeaddrinfo(found);
  return octets;
}

}  // namespace netsetup
