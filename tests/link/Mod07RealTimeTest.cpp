// The channel on the real clock over real descriptors. Bounds are loose: they tell a poll that
// ends when its byte arrives from one that sleeps blindly, and a lost budget from a kept one.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/StatusCode.h"
#include "link/Umod07.h"
#include "support/ResponseFrame.h"

namespace netsetup {
namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

const std::string kType = "VRN-207K";
const Bytes kAnswer = testing::responseFrame(1, Bytes(kType.begin(), kType.end()));

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Plays the instrument on one descriptor (an accepted socket or a pty master): counts the
// requests it hears and answers each with `answer`, waiting delaysMs[k] before byte k.
// An empty answer means silence.
class Peer {
 public:
  Peer(int fd, Bytes answer, std::vector<unsigned> delaysMs = {})
      : fd_(fd), answer_(std::move(answer)), delays_(padded(std::move(delaysMs), answer_.size())) {
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

  static std::vector<unsigned> padded(std::vector<unsigned> delays, size_t size) {
    delays.resize(size, 0);
    return delays;
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

// A loopback listener; the link connects to it and the test accepts the connection afterwards
// (the kernel completes the handshake on its own).
class TcpLine {
 public:
  TcpLine() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(::listen(listener_, 4), 0);
    EXPECT_EQ(::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length), 0);
    link.SetUseTcp(true);
    link.SetHost("127.0.0.1");
    link.SetTcpPort(ntohs(address.sin_port));
  }
  ~TcpLine() {
    link.Close();
    peer_.reset();
    if (connection_ >= 0) ::close(connection_);
    ::close(listener_);
  }

  // Opens the link and lets a peer with this behaviour serve it.
  Peer& open(Bytes answer, std::vector<unsigned> delaysMs = {}) {
    EXPECT_TRUE(link.Open(0, 0)) << link.Status;
    connection_ = ::accept(listener_, nullptr, nullptr);
    EXPECT_GE(connection_, 0);
    const int on = 1;  // bytes paced a few ms apart must not wait for an acknowledgement
    ::setsockopt(connection_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    peer_ = std::make_unique<Peer>(connection_, std::move(answer), std::move(delaysMs));
    return *peer_;
  }

  Tmod07 link;

 private:
  int listener_ = -1;
  int connection_ = -1;
  std::unique_ptr<Peer> peer_;
};

// A pseudo-terminal reached through the link's port map. The test holds a slave descriptor of
// its own, so the line does not hang up when the link closes it.
class PtyLine {
 public:
  static constexpr uint8_t kPort = 1;

  PtyLine() {
    char name[256] = {};
    EXPECT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    link.portMap().set(kPort, name);
  }
  ~PtyLine() {
    link.Close();
    peer_.reset();
    ::close(master_);
    ::close(slave_);
  }

  Peer& open(Bytes answer) {
    EXPECT_TRUE(link.Open(kPort, 115200)) << link.Status;
    peer_ = std::make_unique<Peer>(master_, std::move(answer));
    return *peer_;
  }

  Tmod07 link;

 private:
  int master_ = -1;
  int slave_ = -1;
  std::unique_ptr<Peer> peer_;
};

TEST(Mod07RealTime, SilentTcpPeerGetsEveryAttemptAndPause) {
  TcpLine line;
  Peer& peer = line.open({});
  const auto start = Clock::now();
  EXPECT_EQ(line.link.ReadDeviceType(0), "");
  const double ms = msSince(start);
  EXPECT_EQ(line.link.Status, ErrTimeout);
  // Five budgets of 21 polls of 20 ms and four pauses of 420 ms: about 3.8 s.
  EXPECT_GT(ms, 3000);
  EXPECT_LT(ms, 15000);
  line.link.Close();
  EXPECT_EQ(peer.stop(), 5u);
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
  TcpLine tcp;
  tcp.open(kAnswer);
  expectQuickExchanges(tcp.link, "tcp");
  PtyLine pty;
  pty.open(kAnswer);
  expectQuickExchanges(pty.link, "pty");
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
    TcpLine line;
    line.link.RetryCount = 1;
    Peer& peer = line.open(kAnswer, c.delaysMs);
    const std::string type = line.link.ReadDeviceType(0);
    EXPECT_EQ(line.link.Status, c.status) << c.name;
    EXPECT_EQ(type, c.status == StatusOk ? kType : "") << c.name;
    line.link.Close();
    EXPECT_EQ(peer.stop(), 1u) << c.name;
  }
}

TEST(Mod07RealTime, SilentPseudoTerminalSpendsOneFirstByteBudget) {
  PtyLine line;
  line.link.RetryCount = 1;
  Peer& peer = line.open({});
  const auto start = Clock::now();
  EXPECT_EQ(line.link.ReadDeviceType(0), "");
  const double ms = msSince(start);
  EXPECT_EQ(line.link.Status, ErrTimeout);
  // 21 polls of a 25 ms read and a 20 ms pause: about 0.95 s.
  EXPECT_GT(ms, 600);
  EXPECT_LT(ms, 5000);
  EXPECT_EQ(peer.stop(), 1u);
}

}  // namespace
}  // namespace netsetup
