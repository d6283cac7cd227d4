// The channel on the real clock over real descriptors. Bounds are loose: they tell a poll that
// ends when its byte arrives from one that sleeps blindly, and a lost budget from a kept one.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/StatusCode.h"
#include "link/Umod07.h"
#include "support/LoopbackListener.h"
#include "support/PtyPair.h"
#include "support/RealClock.h"
#include "support/ResponseFrame.h"

namespace netsetup {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::Clock;
using testing::msSince;

const std::string kType = "VRN-207K";
const Bytes kAnswer = testing::responseFrame(1, Bytes(kType.begin(), kType.end()));

// Plays the instrument on one descriptor (an accepted socket or a pty master): counts the
// requests it hears and answers each with `answer`, waiting delaysMs[k] before byte k.
// An empty answer means silence.
class Peer {
 public:
  Peer(int fd, Bytes answer, std::vector<unsigned> delaysMs = {})
      : fd_(fd), answer_(std::move(answer)), delays_(std::move(delaysMs)) {
    delays_.resize(answer_.size(), 0);
    thread_ = std::thread([this] { run(); });
  }
  ~Peer() { stop(); }

  // Reads what is still queued, then ends. Returns the requests heard.
  unsigned stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    return requests_;
  }

 private:
  void run() {
    Bytes pending;
    for (;;) {
      pollfd entry{fd_, POLLIN, 0};
      const int ready = ::poll(&entry, 1, 20);
      if (ready == 0 && stopping_) return;
      if (ready <= 0) continue;
      uint8_t buffer[256];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) return;  // the link hung up
      pending.insert(pending.end(), buffer, buffer + n);
      while (pending.size() >= 6 && pending.size() >= pending[5] + 7u) {
        pending.erase(pending.begin(), pending.begin() + pending[5] + 7);
        ++requests_;
        if (!sendAnswer()) return;
      }
    }
  }

  bool sendAnswer() {
    for (size_t k = 0; k < answer_.size();) {
      if (delays_[k] > 0 && !pause(delays_[k])) return false;
      size_t end = k + 1;  // bytes due together go in one write
      while (end < answer_.size() && delays_[end] == 0) ++end;
      if (::write(fd_, &answer_[k], end - k) != static_cast<ssize_t>(end - k)) return false;
      k = end;
    }
    return true;
  }

  bool pause(unsigned ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
      if (stopping_) return false;
      const Clock::duration left = until - Clock::now();
      std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(5)));
    }
    return true;
  }

  int fd_;
  Bytes answer_;
  std::vector<unsigned> delays_;
  std::atomic<bool> stopping_{false};
  std::atomic<unsigned> requests_{0};
  std::thread thread_;
};

// The link on a real line, a loopback TCP connection or a pseudo-terminal reached through the
// port map, with a Peer playing the instrument at the far end.
class RealLine {
 public:
  static constexpr uint8_t kPort = 1;

  explicit RealLine(bool tcp) {
    if (tcp) {
      listener_.emplace();
      link.SetUseTcp(true);
      link.SetHost("127.0.0.1");
      link.SetTcpPort(listener_->port());
    } else {
      pty_.emplace();
      link.portMap().set(kPort, pty_->path);
    }
  }
  ~RealLine() {
    link.Close();
    peer_.reset();
    if (connection_ >= 0) ::close(connection_);
  }

  // Opens the link and lets a peer with this behaviour serve it. Over TCP the connection is
  // accepted only now; the kernel completed it already.
  Peer& open(Bytes answer, std::vector<unsigned> delaysMs = {}) {
    EXPECT_TRUE(link.Open(kPort, 115200)) << link.Status;
    if (listener_) {
      connection_ = listener_->accept();
      EXPECT_GE(connection_, 0);
    }
    peer_ = std::make_unique<Peer>(pty_ ? pty_->master : connection_, std::move(answer), std::move(delaysMs));
    return *peer_;
  }

  Tmod07 link;

 private:
  std::optional<testing::LoopbackListener> listener_;
  std::optional<testing::PtyPair> pty_;
  int connection_ = -1;
  std::unique_ptr<Peer> peer_;
};

// Without an answer every attempt spends its whole first-byte budget on the real clock, and
// the attempts are paced apart.
TEST(Mod07RealTime, ASilentPeerCostsEveryBudgetAndPause) {
  const struct {
    const char* name;
    bool tcp;
    unsigned attempts;
    double atLeastMs, atMostMs;
  } cases[] = {
      // Two budgets of 21 polls of 20 ms and a pause of 420 ms: about 1.3 s.
      {"tcp", true, 2, 1000, 6000},
      // 21 polls of a 25 ms read and a 20 ms pause: about 0.95 s.
      {"pty", false, 1, 600, 5000},
  };
  for (const auto& c : cases) {
    RealLine line(c.tcp);
    ASSERT_TRUE(line.link.setRetryCount(c.attempts));
    Peer& peer = line.open({});
    const auto start = Clock::now();
    EXPECT_EQ(line.link.ReadDeviceType(0), "") << c.name;
    const double ms = msSince(start);
    EXPECT_EQ(line.link.Status, ErrTimeout) << c.name;
    EXPECT_GT(ms, c.atLeastMs) << c.name;
    EXPECT_LT(ms, c.atMostMs) << c.name;
    line.link.Close();
    EXPECT_EQ(peer.stop(), c.attempts) << c.name;
  }
}

// A blind 20 ms sleep after the request would put every exchange near 20 ms.
void expectQuickExchanges(Tmod07& link, const char* line) {
  constexpr size_t kExchanges = 20;
  std::vector<double> ms;
  for (size_t k = 0; k < kExchanges; ++k) {
    const auto start = Clock::now();
    const std::string type = link.ReadDeviceType(0);
    ms.push_back(msSince(start));
    ASSERT_EQ(link.Status, StatusOk) << line << " exchange " << k;
    EXPECT_EQ(type, kType) << line;
  }
  std::nth_element(ms.begin(), ms.begin() + kExchanges / 2, ms.end());
  EXPECT_LT(ms[kExchanges / 2], 15.0) << line << " median";
}

TEST(Mod07RealTime, AnImmediateAnswerEndsThePollAtOnce) {
  for (bool tcp : {true, false}) {
    RealLine line(tcp);
    line.open(kAnswer);
    expectQuickExchanges(line.link, tcp ? "tcp" : "pty");
  }
}

// A later byte gets three polls over TCP (about 40 ms), the first byte 21 (about 420 ms).
TEST(Mod07RealTime, ByteTimingOverTcpDecidesTheAttempt) {
  const size_t last = kAnswer.size() - 1;
  auto delays = [&](unsigned first, unsigned gap, unsigned beforeLast) {
    std::vector<unsigned> d(kAnswer.size(), gap);
    d[0] = first;
    d[last] = beforeLast;
    return d;
  };
  const struct {
    const char* name;
    std::vector<unsigned> delaysMs;
    int32_t status;
  } cases[] = {
      {"bytes 5 ms apart", delays(0, 5, 5), StatusOk},
      {"first byte after 200 ms", delays(200, 0, 0), StatusOk},
      {"last byte 150 ms late", delays(0, 0, 150), ErrTimeout},
      {"first byte after 1500 ms", delays(1500, 0, 0), ErrTimeout},
  };
  for (const auto& c : cases) {
    RealLine line(true);
    ASSERT_TRUE(line.link.setRetryCount(1));
    Peer& peer = line.open(kAnswer, c.delaysMs);
    const std::string type = line.link.ReadDeviceType(0);
    EXPECT_EQ(line.link.Status, c.status) << c.name;
    EXPECT_EQ(type, c.status == StatusOk ? kType : "") << c.name;
    line.link.Close();
    EXPECT_EQ(peer.stop(), 1u) << c.name;
  }
}

}  // namespace
}  // namespace netsetup
