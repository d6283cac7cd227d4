#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include <gtest/gtest.h>

#include "link/Sleeper.h"
#include "link/StatusCode.h"
#include "link/TcpLine.h"
#include "support/IdleCheck.h"
#include "support/LoopbackListener.h"

namespace netsetup {
namespace {

constexpr Ipv4Octets kLoopback{127, 0, 0, 1};

class RecordingSleeper final : public Sleeper {
 public:
  void sleepMs(unsigned ms) override { sleeps.push_back(ms); }
  std::vector<unsigned> sleeps;
};

TEST(TcpSocketTest, ClosedPortGivesConnectErrorWithTheSocket) {
  testing::LoopbackListener listener;
  listener.close();
  TcpConnection result = TcpLine::connect(kLoopback, listener.port());
  ASSERT_FALSE(result.line.ok());
  EXPECT_EQ(result.line.failure().status, ErrConnect);
  ASSERT_NE(result.leftover, nullptr);
  result.leftover->close();
}

TEST(TcpSocketTest, ExchangesBytesAndSeesPeerClose) {
  testing::LoopbackListener listener;
  TcpConnection result = TcpLine::connect(kLoopback, listener.port());
  ASSERT_TRUE(result.line.ok()) << result.line.failure().explanation.english;
  auto& link = **result.line;
  const int peer = listener.accept();
  ASSERT_GE(peer, 0);
  RecordingSleeper sleeper;
  uint8_t byte = 0;

  const std::vector<uint8_t> request = {0x55, 0x00, 0xFF, 0x13};
  ASSERT_EQ(link.send(request.data(), request.size()), request.size());
  std::vector<uint8_t> heard(request.size());
  ASSERT_EQ(::recv(peer, heard.data(), heard.size(), MSG_WAITALL), static_cast<ssize_t>(heard.size()));
  EXPECT_EQ(heard, request);

  EXPECT_FALSE(link.readByte(byte)) << "nothing sent yet; no wait";
  testing::expectIdleEndsOnInput(link, sleeper, peer, 0xAA);

  ::close(peer);
  link.idle(3000, sleeper);  // the end of the stream makes it readable
  EXPECT_FALSE(link.readByte(byte));
  EXPECT_TRUE(static_cast<TcpLine&>(link).peerClosed());
  EXPECT_TRUE(sleeper.sleeps.empty());
  link.idle(20, sleeper);
  EXPECT_EQ(sleeper.sleeps, std::vector<unsigned>{20}) << "a closed stream still paces the polls";
}

}  // namespace
}  // namespace netsetup
