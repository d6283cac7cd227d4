#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/Sleeper.h"
#include "link/StatusCode.h"
#include "link/TcpSocket.h"

namespace netsetup {
namespace {

using Clock = std::chrono::steady_clock;
constexpr Ipv4Octets kLoopback{127, 0, 0, 1};

long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class RecordingSleeper final : public Sleeper {
 public:
  void sleepMs(unsigned ms) override { sleeps.push_back(ms); }
  std::vector<unsigned> sleeps;
};

// A loopback listener on a port of the kernel's choosing.
struct Listener {
  Listener() {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(::listen(fd, 4), 0);
    EXPECT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    port = ntohs(address.sin_port);
  }
  ~Listener() { closeListening(); }
  int accept() const { return ::accept(fd, nullptr, nullptr); }
  void closeListening() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int fd = -1;
  uint16_t port = 0;
};

TEST(TcpSocketTest, ClosedPortGivesConnectErrorWithTheSocket) {
  Listener listener;
  const uint16_t port = listener.port;
  listener.closeListening();
  auto result = TcpSocket::connect(kLoopback, port);
  EXPECT_EQ(result.status, ErrConnect);
  ASSERT_NE(result.transport, nullptr);
  result.transport->close();
}

TEST(TcpSocketTest, ExchangesBytesAndSeesPeerClose) {
  Listener listener;
  auto result = TcpSocket::connect(kLoopback, listener.port);
  ASSERT_EQ(result.status, StatusOk);
  auto& link = *result.transport;
  EXPECT_TRUE(link.isTcp());
  const int peer = listener.accept();
  ASSERT_GE(peer, 0);
  RecordingSleeper sleeper;
  uint8_t byte = 0;

  const uint8_t request[] = {0x55, 0x00, 0xFF, 0x13};
  ASSERT_EQ(link.send(request, sizeof request), sizeof request);
  uint8_t heard[sizeof request] = {};
  ASSERT_EQ(::recv(peer, heard, sizeof heard, MSG_WAITALL), static_cast<ssize_t>(sizeof heard));
  EXPECT_EQ(std::vector<uint8_t>(heard, heard + 4), std::vector<uint8_t>(request, request + 4));

  EXPECT_FALSE(link.readByte(byte)) << "nothing sent yet; no wait";
  auto start = Clock::now();
  link.idle(60, sleeper);
  EXPECT_GE(msSince(start), 50);
  EXPECT_LE(msSince(start), 1000);

  std::thread device([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const uint8_t answer[] = {0xAA, 0x01};
    EXPECT_EQ(::send(peer, answer, sizeof answer, 0), 2);
  });
  start = Clock::now();
  link.idle(3000, sleeper);
  EXPECT_LT(msSince(start), 2000) << "idle ends when input arrives";
  device.join();
  ASSERT_TRUE(link.readByte(byte));
  EXPECT_EQ(byte, 0xAA);
  ASSERT_TRUE(link.readByte(byte));
  EXPECT_EQ(byte, 0x01);

  ::close(peer);
  link.idle(3000, sleeper);  // the end of the stream makes it readable
  EXPECT_FALSE(link.readByte(byte));
  EXPECT_TRUE(static_cast<TcpSocket&>(link).peerClosed());
  EXPECT_TRUE(sleeper.sleeps.empty());
  link.idle(20, sleeper);
  EXPECT_EQ(sleeper.sleeps, std::vector<unsigned>{20}) << "a closed stream still paces the polls";
}

}  // namespace
}  // namespace netsetup
