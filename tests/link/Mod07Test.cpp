#include "link/Umod07.h"

#include <gtest/gtest.h>

#include "link/Frame.h"
#include "support/ResponseFrame.h"
#include "support/ScriptedLine.h"

namespace netsetup {
namespace {

using testing::responseFrame;

using testing::CountingSleeper;
using testing::ScriptedFactory;

class Mod07 : public ::testing::Test {
 protected:
  ScriptedFactory factory;
  CountingSleeper sleeper;
  Tmod07 link{factory, sleeper};
  testing::LineState& line = *factory.line;

  void openSerial() { ASSERT_TRUE(link.Open(1, 9600)); }
  void openTcp() {
    link.SetUseTcp(true);
    link.SetHost("127.0.0.1");
    ASSERT_TRUE(link.Open(0, 0));
  }
};

// The timeouts and the retry count show in the poll counts below.
TEST_F(Mod07, StartsClosedOnTheUsualPort) {
  EXPECT_FALSE(link.IsOpen);
  EXPECT_EQ(link.Status, 0);
  EXPECT_EQ(link.TcpPort, 10001);
}

TEST_F(Mod07, SilentLineCostsExactPollsAndPauses) {
  for (bool tcp : {false, true}) {
    SCOPED_TRACE(tcp ? "tcp" : "serial");
    line = {};
    sleeper = {};
    tcp ? openTcp() : openSerial();
    link.ReadDeviceType(0);
    EXPECT_EQ(link.Status, ErrTimeout);
    EXPECT_EQ(line.sent.size(), 5u);
    EXPECT_EQ(line.polls, 5 * 21);
    EXPECT_EQ(line.idles, 5 * 21);
    // Every empty poll sleeps 20 ms; four pauses of 21 x 20 ms separate the five attempts.
    EXPECT_EQ(sleeper.sleeps, 5 * 21 + 4 * 21);
    EXPECT_EQ(sleeper.totalMs, 20u * (5 * 21 + 4 * 21));
    EXPECT_EQ(line.purges, 5) << "stale input goes before every request, on TCP too";
  }
}

TEST_F(Mod07, ByteBudgetsAreCountedInPolls) {
  struct Case {
    const char* name;
    int silentPollsBeforeFirstByte;
    int silentPollsBeforeLastByte;
    int32_t status;
  };
  const Case cases[] = {
      {"first byte on the 21st poll", 20, 0, StatusOk},
      {"first byte too late", 21, 0, ErrTimeout},
      {"later byte on the 3rd poll", 0, 2, StatusOk},
      {"later byte too late", 0, 3, ErrTimeout},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    line = {};
    openSerial();
    ASSERT_TRUE(link.setRetryCount(1));
    auto frame = responseFrame(0, {'X'});
    line.queueSilence(c.silentPollsBeforeFirstByte);
    line.queue({frame.begin(), frame.end() - 1});
    line.queueSilence(c.silentPollsBeforeLastByte);
    line.queue({frame.back()});
    link.ReadDeviceType(0);
    EXPECT_EQ(link.Status, c.status);
  }
}

// A stop ends a request that stores nothing at its next poll or pause, and never cuts a write
// that has gone out, though the check is still asked while it waits (so the CLI can say at once
// that the write is being finished); a check that never fires changes no count.
TEST_F(Mod07, StopCheckEndsWaitsButNeverCutsASentWrite) {
  struct Case {
    const char* name;
    bool write;
    int stopAtPoll;  // the check fires once the line was polled this often; -1: never
    int polls;       // then one attempt of that many polls and sleeps; 0: five whole attempts
  };
  const Case cases[] = {
      {"never fires", false, -1, 0},
      {"in the pause after a silent attempt", false, 21, 21},
      {"write, once it is out", true, 7, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    line = {};
    sleeper = {};
    openSerial();
    int asked = 0;
    link.setStopCheck([&] {
      ++asked;
      return c.stopAtPoll >= 0 && line.polls >= c.stopAtPoll;
    });
    uint8_t bytes[4] = {};
    c.write ? link.WriteMemory(1, 0x0620, bytes, 4) : link.ReadMemory(1, 0x0620, bytes, 4);
    const bool stopped = c.polls > 0;
    EXPECT_EQ(link.Status, ErrTimeout);
    EXPECT_EQ(link.stopped(), stopped);
    EXPECT_EQ(line.sent.size(), stopped ? 1u : 5u);
    EXPECT_EQ(line.polls, stopped ? c.polls : 5 * 21);
    EXPECT_EQ(sleeper.sleeps, stopped ? c.polls : 5 * 21 + 4 * 21);
    if (c.write) {
      EXPECT_GT(asked, line.polls);
    }
  }
}

// Input dropped before a request counts as a late answer only after an attempt was given up
// for silence; settle() waits one first-byte budget for more and counts what comes.
TEST_F(Mod07, LateAnswersAreCountedOnlyAfterAnAttemptGivenUp) {
  openSerial();
  line.dropped = {5, 60};  // stray bytes before the first attempt, then the first answer, late
  line.queueSilence(21);
  line.onSend = [&](const std::vector<uint8_t>&) {
    if (line.sent.size() == 2) line.queue(responseFrame(0, {'O', 'K'}));
  };
  EXPECT_EQ(link.ReadDeviceType(0), "OK");
  EXPECT_EQ(link.lateBytes(), 60u);
  EXPECT_EQ(link.timedOutAttempts(), 1u);

  line.queue({0xAA, 0x00, 0xFF});  // the rest of an answer on its way
  const int pollsBefore = line.polls;
  EXPECT_EQ(link.settle(), 3u);
  EXPECT_EQ(link.lateBytes(), 63u);
  EXPECT_EQ(line.polls - pollsBefore, 21) << "one first-byte budget";
  ASSERT_TRUE(link.Open(1, 9600));
  EXPECT_EQ(link.lateBytes(), 0u) << "counted afresh for each conversation";
}

TEST_F(Mod07, HuntingRestartsTheBudgetButIsBounded) {
  openSerial();
  ASSERT_TRUE(link.setRetryCount(1));
  // Each discarded byte after 20 silent polls still leaves a fresh 21-poll budget.
  for (int i = 0; i < 10; ++i) {
    line.queueSilence(20);
    line.queue({0x13});
  }
  line.queue(responseFrame(0, {}));
  link.ReadDeviceType(0);
  EXPECT_EQ(link.Status, StatusOk);

  // A line that chatters for ever gives up after a bounded number of discarded bytes.
  line = {};
  line.queue(std::vector<uint8_t>(5000, 0x00));
  link.ReadDeviceType(0);
  EXPECT_EQ(link.Status, ErrTimeout);
  EXPECT_EQ(line.polls, static_cast<int>(Tmod07::kMaxDiscardedBytes));
}

TEST_F(Mod07, AnswerOnTheThirdAttemptAfterTwoPauses) {
  openSerial();
  int attempts = 0;
  line.onSend = [&](const std::vector<uint8_t>&) {
    if (++attempts == 3) line.queue(responseFrame(0, {'O', 'K'}));
  };
  EXPECT_EQ(link.ReadDeviceType(0), "OK");
  EXPECT_EQ(link.Status, StatusOk);
  EXPECT_EQ(attempts, 3);
  EXPECT_EQ(sleeper.totalMs, 20u * (2 * 21 + 2 * 21));  // two silent budgets, two pauses
}

TEST_F(Mod07, LastAttemptDecidesTheStatus) {
  openSerial();
  int attempts = 0;
  auto bad = responseFrame(0, {});
  bad.back() ^= 0xFF;
  line.onSend = [&](const std::vector<uint8_t>&) {
    // Bad checksum first, silence last: the exchange reports the silence.
    if (++attempts < 5) line.queue(bad);
  };
  link.ReadDeviceType(0);
  EXPECT_EQ(link.Status, ErrTimeout);

  // A short transmit is overwritten by the receive outcome that follows it.
  line = {};
  line.sendShortBy = 1;
  line.onSend = [&](const std::vector<uint8_t>&) { line.queue(responseFrame(0, {})); };
  link.ReadDeviceType(0);
  EXPECT_EQ(link.Status, StatusOk);
}

TEST_F(Mod07, SendFrameReportsShortWritesAndMissingSocket) {
  openSerial();
  link.TxBuffer[5] = 0;
  line.sendShortBy = 1;
  link.SendFrame(7);
  EXPECT_EQ(link.Status, ErrWrite);
  link.Close();
  link.SetUseTcp(true);
  link.SendFrame(7);
  EXPECT_EQ(link.Status, ErrNoSocket);
  link.ReceiveFrame();
  EXPECT_EQ(link.Status, ErrNoSocket);
}

TEST_F(Mod07, CommandsSendTheExactRequestBytes) {
  openSerial();
  line.onSend = [&](const std::vector<uint8_t>&) { line.queue(responseFrame(1, {})); };
  link.ReadDeviceType(0);
  uint8_t buf[40] = {};
  link.ReadMemory(1, 0x0620, buf, 0);
  uint8_t data[3] = {0xDE, 0xAD, 0x01};
  link.WriteMemory(2, 0x06C0, data, 3);
  ASSERT_EQ(line.sent.size(), 3u);
  EXPECT_EQ(line.sent[0], (std::vector<uint8_t>{0x55, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xAB}));
  EXPECT_EQ(line.sent[1], (std::vector<uint8_t>{0x55, 0x01, 0xFE, 0x0F, 0x01, 0x03, 0x06, 0x20, 0x00, 0x72}));
  std::vector<uint8_t> write{0x55, 0x02, 0xFD, 0x0A, 0x42, 0x05, 0x06, 0xC0, 0xDE, 0xAD, 0x01};
  write.push_back(frameChecksum(write.data(), write.size()));
  EXPECT_EQ(line.sent[2], write);
}

TEST_F(Mod07, ReadMemoryTakesOnlyAnAnswerOfTheSizeAsked) {
  struct Case {
    size_t answered;
    int32_t status;
  };
  for (Case c : {Case{4, StatusOk}, Case{3, ErrLength}, Case{5, ErrLength}}) {
    SCOPED_TRACE(c.answered);
    line = {};
    openSerial();
    line.onSend = [&](const std::vector<uint8_t>&) { line.queue(responseFrame(1, std::vector<uint8_t>(c.answered, 0x42))); };
    uint8_t dest[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    link.ReadMemory(1, 0x0620, dest, 4);
    EXPECT_EQ(link.Status, c.status);
    const uint8_t expect = c.status == StatusOk ? 0x42 : 1;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dest[i], expect);
    EXPECT_EQ(dest[4], 1);
  }
}

TEST_F(Mod07, WriteMemoryCopiesBackNoMoreThanTheChunk) {
  struct Case {
    size_t answered;
    std::vector<uint8_t> after;
  };
  const Case cases[] = {
      {0, {1, 2, 3, 4, 5, 6}},
      {2, {9, 9, 3, 4, 5, 6}},
      {10, {9, 9, 9, 9, 5, 6}},  // never past the four bytes sent
  };
  for (const Case& c : cases) {
    line = {};
    openSerial();
    line.onSend = [&](const std::vector<uint8_t>&) { line.queue(responseFrame(1, std::vector<uint8_t>(c.answered, 9))); };
    std::vector<uint8_t> buf{1, 2, 3, 4, 5, 6};
    link.WriteMemory(1, 0x0620, buf.data(), 4);
    EXPECT_EQ(link.Status, StatusOk);
    EXPECT_EQ(buf, c.after) << c.answered;
  }
}

TEST_F(Mod07, IdentificationKeepsZeroBytes) {
  openSerial();
  line.onSend = [&](const std::vector<uint8_t>&) { line.queue(responseFrame(0, {'V', 0, 'K'})); };
  EXPECT_EQ(link.ReadDeviceType(0), std::string("V\0K", 3));
  line.onSend = [&](const std::vector<uint8_t>&) { line.queue(responseFrame(0, {})); };
  EXPECT_EQ(link.ReadDeviceType(0), "");
  EXPECT_EQ(link.Status, StatusOk);
}

TEST_F(Mod07, OpenFollowsTheTransportRules) {
  struct Case {
    const char* name;
    bool tcp;
    std::string host;
    uint8_t port;
    bool serialFails;
    int32_t tcpStatus;
    bool opened;
    int32_t status;
  };
  const Case cases[] = {
      {"serial ok", false, "", 3, false, 0, true, StatusOk},
      {"serial port 0 has no device", false, "", 0, false, 0, false, ErrPortOpen},
      {"serial port 17 has no device", false, "", 17, false, 0, false, ErrPortOpen},
      {"serial open fails", false, "", 1, true, 0, false, ErrPortOpen},
      {"tcp ok", true, "10.1.2.3", 0, false, 0, true, StatusOk},
      {"tcp without host", true, "", 0, false, 0, false, ErrHostAddress},
      {"tcp host does not parse", true, "a.b", 0, false, 0, false, ErrHostAddress},
      {"tcp all-ones host", true, "255.255.255.255", 0, false, 0, false, ErrHostAddress},
      {"tcp connect fails", true, "1.2.3.4", 0, false, ErrConnect, false, ErrConnect},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFactory f;
    CountingSleeper s;
    Tmod07 l(f, s);
    f.serialFails = c.serialFails;
    f.tcpStatus = c.tcpStatus;
    l.SetUseTcp(c.tcp);
    l.SetHost(c.host);
    EXPECT_EQ(l.Open(c.port, 19200), c.opened);
    EXPECT_EQ(l.IsOpen, c.opened);
    EXPECT_EQ(l.Status, c.status);
    if (c.status == ErrHostAddress) {
      EXPECT_TRUE(f.connects.empty());
    }
  }
}

TEST_F(Mod07, SerialOpensTheMappedDeviceAtTheRate) {
  link.portMap().set(3, "/dev/pts/9");
  ASSERT_TRUE(link.Open(3, 28800));
  ASSERT_TRUE(link.Open(9, 115200));  // reopening closes the first line
  EXPECT_EQ(factory.openedDevices, (std::vector<std::string>{"/dev/pts/9", PortMap::defaultDevice(9)}));
  EXPECT_EQ(factory.openedBauds, (std::vector<int32_t>{28800, 115200}));
  EXPECT_EQ(line.closes, 1);
}

TEST_F(Mod07, SetHostKeepsOnlyDottedTextsAndPortReachesConnect) {
  link.SetHost("10.0.0.5");
  link.SetHost("abc");
  link.SetHost("");
  EXPECT_EQ(link.Host, "10.0.0.5");
  link.SetUseTcp(true);
  link.SetTcpPort(16);
  ASSERT_TRUE(link.Open(0, 0));
  ASSERT_EQ(factory.connects.size(), 1u);
  EXPECT_EQ(factory.connects[0].first, (Ipv4Octets{10, 0, 0, 5}));
  EXPECT_EQ(factory.connects[0].second, 16);
}

// A line of the kind not chosen takes no part in an exchange, and serves again once chosen.
TEST_F(Mod07, OnlyTheChosenKindOfLineExchanges) {
  openTcp();
  const struct {
    bool tcp;
    int32_t status;
    size_t sent;
  } steps[] = {{false, ErrWrite, 0}, {true, StatusOk, 1}, {false, ErrWrite, 1}, {true, StatusOk, 2}, {false, ErrWrite, 2}};
  for (const auto& step : steps) {
    link.SetUseTcp(step.tcp);
    link.SendFrame(7);
    EXPECT_EQ(link.Status, step.status) << step.tcp;
    EXPECT_EQ(line.sent.size(), step.sent) << step.tcp;
    EXPECT_TRUE(link.IsOpen);
  }
  link.Close();  // the line set aside too
  EXPECT_EQ(line.closes, 1);
}

TEST_F(Mod07, CloseDisposesOfWhatIsHeld) {
  // A failed connect leaves its socket for Close, even when the transport choice changed since.
  factory.tcpStatus = ErrConnect;
  link.SetUseTcp(true);
  link.SetHost("1.2.3.4");
  EXPECT_FALSE(link.Open(0, 0));
  link.SetUseTcp(false);
  link.Close();
  EXPECT_EQ(line.closes, 1);
  link.Close();  // nothing held: no effect
  EXPECT_EQ(line.closes, 1);
  EXPECT_FALSE(link.IsOpen);
}

// Limits that make no sense are refused and the old ones kept; the budget the link reports is
// what a silent exchange then costs.
TEST_F(Mod07, LimitsRefuseNonsenseAndGiveTheExchangeBudget) {
  const struct {
    const char* name;
    Result<void> (Tmod07::*set)(uint32_t);
    uint32_t refused[2];
  } limits[] = {
      {"retry count", &Tmod07::setRetryCount, {0, Tmod07::kMaxRetryCount + 1}},
      {"first byte", &Tmod07::setFirstByteTimeoutMs, {0, Tmod07::kMaxTimeoutMs + 1}},
      {"later bytes", &Tmod07::setByteTimeoutMs, {0, Tmod07::kMaxTimeoutMs + 1}},
  };
  for (const auto& limit : limits) {
    for (uint32_t value : limit.refused) {
      const Result<void> refused = (link.*limit.set)(value);
      ASSERT_FALSE(refused) << limit.name << " " << value;
      EXPECT_NE(refused.failure().message.find(std::to_string(value)), std::string::npos) << refused.failure().text();
    }
  }
  const auto usual = link.exchangeBudget();
  EXPECT_EQ(std::vector<unsigned>({usual.firstBytePolls, usual.bytePolls, usual.pauseMs, usual.attempts}),
            std::vector<unsigned>({21, 3, 420, 5}));

  ASSERT_TRUE(link.setRetryCount(2));
  ASSERT_TRUE(link.setFirstByteTimeoutMs(100));
  ASSERT_TRUE(link.setByteTimeoutMs(60));
  const auto set = link.exchangeBudget();
  EXPECT_EQ(std::vector<unsigned>({set.firstBytePolls, set.bytePolls, set.pauseMs, set.attempts}),
            std::vector<unsigned>({6, 4, 120, 2}));
  openSerial();
  link.ReadDeviceType(0);
  EXPECT_EQ(line.polls, static_cast<int>(set.attempts * set.firstBytePolls));
  EXPECT_EQ(sleeper.totalMs, set.attempts * set.firstBytePolls * 20 + set.pauseMs);
}

// A request whose length byte says more than one frame can carry is not sent at all.
TEST_F(Mod07, AnExchangeTooLongForOneFrameIsRefused) {
  openSerial();
  link.TxBuffer[kOffLength] = kMaxRequestData + 1;
  link.Exchange(1);
  EXPECT_EQ(link.Status, ErrWrite);
  EXPECT_TRUE(line.sent.empty());
}

}  // namespace
}  // namespace netsetup
