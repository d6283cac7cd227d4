// The serial and TCP lines' own rules, over scripted system calls and a clock moved by hand.
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/SerialLine.h"
#include "link/TcpLine.h"
#include "support/CountingSleeper.h"
#include "support/FakeClock.h"

namespace netsetup {
namespace {

using std::chrono::milliseconds;
using Bytes = std::vector<uint8_t>;

// What one call finds, and how long the system took over it.
struct Step {
  Bytes bytes;  // empty: nothing arrived
  unsigned tookMs = 0;
  InputWait wait = InputWait::TimedOut;  // for a wait for input
  bool ended = false;                    // for a socket: the peer ended the stream
};

// The calls of both devices, scripted; what they were asked is kept.
struct Script {
  explicit Script(testing::FakeClock& c) : clock(c) {}
  testing::FakeClock& clock;
  std::deque<Step> steps;
  std::vector<size_t> rooms;        // of each read
  std::vector<unsigned> budgetsMs;  // of each deadline handed down
  int purges = 0, writes = 0, writeFailsFrom = 1 << 30;

  Step next(const Deadline* deadline) {
    if (deadline) budgetsMs.push_back(deadline->remainingMs());
    Step step = steps.empty() ? Step{} : steps.front();
    if (!steps.empty()) steps.pop_front();
    clock.advance(milliseconds(step.tookMs));
    return step;
  }
  // A read of fewer bytes than came leaves the rest for the next one.
  Step take(uint8_t* into, size_t room, const Deadline* deadline) {
    rooms.push_back(room);
    Step step = next(deadline);
    if (step.bytes.size() > room) {
      steps.push_front({Bytes(step.bytes.begin() + room, step.bytes.end())});
      step.bytes.resize(room);
    }
    std::copy(step.bytes.begin(), step.bytes.end(), into);
    return step;
  }
};

class FakeSerial final : public SerialDevice {
 public:
  explicit FakeSerial(Script& s) : s_(s) {}
  size_t purge() override {
    ++s_.purges;
    return 0;
  }
  bool writeByte(uint8_t, const Deadline& deadline) override {
    s_.budgetsMs.push_back(deadline.remainingMs());
    return ++s_.writes < s_.writeFailsFrom;
  }
  size_t read(uint8_t* into, size_t room, const Deadline& deadline) override {
    return s_.take(into, room, &deadline).bytes.size();
  }
  InputWait waitForInput(const Deadline& deadline) override { return s_.next(&deadline).wait; }

 private:
  Script& s_;
};

class FakeSocket final : public SocketDevice {
 public:
  explicit FakeSocket(Script& s) : s_(s) {}
  Result<void, SocketFailure> connect(const Ipv4Octets&, uint16_t, const Deadline&) override { return {}; }
  void setNoDelay() override {}
  Received receive(uint8_t* into, size_t room) override {
    const Step step = s_.take(into, room, nullptr);
    return {step.bytes.size(), step.ended};
  }
  size_t send(const uint8_t*, size_t count) override { return ++s_.writes, count; }
  InputWait waitForInput(const Deadline& deadline) override { return s_.next(&deadline).wait; }

 private:
  Script& s_;
};

class Lines : public ::testing::Test {
 protected:
  testing::FakeClock clock;
  testing::CountingSleeper sleeper;
  Script script{clock};
  SerialLine serial{std::make_unique<FakeSerial>(script), clock};
  TcpLine tcp{std::make_unique<FakeSocket>(script), clock};
  uint8_t byte = 0;
};

// However the system ended an empty poll, it lasts its 25 ms, so the link's time-outs mean the
// same on every line and a line that fails at once does not spin.
TEST_F(Lines, AnEmptySerialPollLastsItsWholeLength) {
  for (unsigned tookMs : {25u, 0u, 23u, 31u}) {
    const auto start = clock.elapsed();
    script.steps = {{{}, tookMs}};
    EXPECT_FALSE(serial.readByte(byte));
    EXPECT_EQ(clock.elapsed() - start, milliseconds(std::max(tookMs, 25u))) << tookMs;
  }
  EXPECT_EQ(script.budgetsMs, (std::vector<unsigned>{25, 25, 25, 25}));
  script.steps = {{{0xAA}, 0}};
  EXPECT_TRUE(serial.readByte(byte));
  EXPECT_EQ(byte, 0xAA);
}

TEST_F(Lines, OnceASerialByteCannotLeaveTheRestGetNoWait) {
  script.writeFailsFrom = 2;
  const Bytes frame{1, 2, 3, 4};
  EXPECT_EQ(serial.send(frame.data(), frame.size()), 1u);
  EXPECT_EQ(script.budgetsMs, (std::vector<unsigned>{1000, 1000, 0, 0}));
}

// The pause after an empty poll ends when input comes; where the system cannot tell when that
// is, it keeps its length through the sleeper.
TEST_F(Lines, TheIdleTimeEndsOnInputOrKeepsItsLength) {
  const struct {
    InputWait wait;
    unsigned tookMs;
    unsigned sleptMs;
  } cases[] = {
      {InputWait::Arrived, 5, 0},
      {InputWait::TimedOut, 20, 0},
      {InputWait::Unknown, 0, 20},
      {InputWait::Unknown, 8, 12},
  };
  for (const auto& c : cases) {
    for (const auto& [name, line] : {std::pair<const char*, Transport*>{"serial", &serial}, {"tcp", &tcp}}) {
      sleeper = {};
      script.steps = {{{}, c.tookMs, c.wait}};
      line->idle(20, sleeper);
      EXPECT_EQ(sleeper.totalMs, c.sleptMs) << c.tookMs << " " << name;
    }
  }
  serial.close();
  sleeper = {};
  serial.idle(20, sleeper);
  EXPECT_EQ(sleeper.totalMs, 20u) << "a closed line still paces the polls";
}

// Bytes that came together are handed out a poll each, from one system call that asked for
// all there is; a purge drops the ones not taken yet, and says how many.
TEST_F(Lines, WhatArrivedTogetherIsHandedOutAByteAPollUntilAPurge) {
  for (const auto& [name, line] : {std::pair<const char*, Transport*>{"serial", &serial}, {"tcp", &tcp}}) {
    SCOPED_TRACE(name);
    script.rooms.clear();
    script.steps = {{{0xAA, 0x01, 0xFE}}, {{0x0F, 0x01}}, {{0x55}}};
    Bytes got;
    while (got.size() < 5 && line->readByte(byte)) got.push_back(byte);
    EXPECT_EQ(got, (Bytes{0xAA, 0x01, 0xFE, 0x0F, 0x01}));
    EXPECT_EQ(script.rooms, (std::vector<size_t>{InputBuffer::kSize, InputBuffer::kSize}));
    EXPECT_EQ(clock.elapsed(), milliseconds(0)) << "bytes there are taken without waiting";

    script.steps = {{{0x0F, 0x01}}};
    ASSERT_TRUE(line->readByte(byte));
    EXPECT_EQ(line->purge(), 1u);
    script.steps = {{{0x55}}};
    ASSERT_TRUE(line->readByte(byte));
    EXPECT_EQ(byte, 0x55) << "the 0x01 left over was dropped";
  }
  EXPECT_EQ(script.purges, 1);
}

// An ended stream reads as ready for ever: the polls are paced by plain sleeps from then on.
TEST_F(Lines, AnEndedTcpStreamIsPacedBySleeps) {
  script.steps = {{{}, 0, InputWait::TimedOut, true}};
  EXPECT_FALSE(tcp.readByte(byte));
  EXPECT_TRUE(tcp.peerClosed());
  tcp.idle(20, sleeper);
  EXPECT_EQ(sleeper.totalMs, 20u);
  EXPECT_TRUE(script.budgetsMs.empty()) << "no wait is asked of the socket";
}

}  // namespace
}  // namespace netsetup
