#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Results.h"
#include "Instrument.h"
#include "InstrumentMemory.h"
#include "SimOptions.h"
#include "link/Frame.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes request(uint8_t address, uint8_t group, uint8_t code, const Bytes& data = {}) {
  Bytes frame(data.size() + kFrameOverhead);
  frame[kOffGroup] = group;
  frame[kOffCommand] = code;
  frame[kOffLength] = static_cast<uint8_t>(data.size());
  std::copy(data.begin(), data.end(), frame.begin() + kOffData);
  completeRequest(frame.data(), address);
  return frame;
}

Bytes readRequest(uint8_t address, uint16_t at, uint8_t count) {
  return request(address, 0x0F, 0x01, {uint8_t(at >> 8), uint8_t(at & 0xFF), count});
}

Bytes writeRequest(uint8_t address, uint16_t at, const Bytes& bytes) {
  Bytes data = {uint8_t(at >> 8), uint8_t(at & 0xFF)};
  data.insert(data.end(), bytes.begin(), bytes.end());
  return request(address, 0x0A, 0x42, data);
}

std::vector<Bytes> feed(Instrument& instrument, const Bytes& bytes) {
  return instrument.receive(bytes.data(), bytes.size());
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(Instrument, AnswersKnownRequestBytesExactly) {
  const Bytes identify = {0x55, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xAB};
  const Bytes read40 = {0x55, 0x01, 0xFE, 0x0F, 0x01, 0x03, 0x06, 0x20, 0x28, 0x4A};
  Instrument instrument;

  const auto typeAnswer = feed(instrument, identify);
  ASSERT_EQ(typeAnswer.size(), 1u);
  const Bytes expectedType = {0xAA, 0x01, 0xFE, 0x00, 0x00, 0x08, 'V', 'R',
                              'N',  '-',  '2',  '0',  '7',  'K',  0x47};
  EXPECT_EQ(typeAnswer[0], expectedType);

  const auto readAnswer = feed(instrument, read40);
  ASSERT_EQ(readAnswer.size(), 1u);
  const Bytes& frame = readAnswer[0];
  ASSERT_EQ(frame.size(), 47u);
  EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 6), (Bytes{0xAA, 0x01, 0xFE, 0x0F, 0x01, 40}));
  const auto area = defaultSettingsArea();
  EXPECT_TRUE(std::equal(frame.begin() + 6, frame.end() - 1, area.begin()));
  EXPECT_EQ(frame.back(), frameChecksum(frame.data(), frame.size() - 1));
}

TEST(Instrument, FramesRequestsLikeARealReceiver) {
  const Bytes identify = request(0, 0x00, 0x00);
  Bytes badSum = identify;
  badSum.back() ^= 0x01;
  const Bytes badComplement = {0x55, 0x01, 0x01, 0x00, 0x00, 0x00, 0xAA};
  struct Case {
    const char* name;
    Bytes input;
    size_t answers;
  };
  const Case cases[] = {
      {"plain", identify, 1},
      {"noise first", concat({{0x00, 0xAA, 0x13}, identify}), 1},
      {"bad checksum", badSum, 0},
      {"bad complement", badComplement, 0},
      {"bad checksum, then a good one", concat({badSum, identify}), 1},
      // The first 0x55 is rejected by its complement; the second one starts a good frame.
      {"false start", concat({{0x55}, identify}), 1},
      {"two in one chunk", concat({identify, readRequest(1, 0, 4)}), 2},
      {"unknown command", request(1, 0x01, 0x02), 0},
      {"read with wrong N", request(1, 0x0F, 0x01, {0x06, 0x20}), 0},
      {"impossible length", {0x55, 0x01, 0xFE, 0x0F, 0x01, 0xF9}, 0},
  };
  for (const Case& c : cases) {
    Instrument whole, byteByByte;
    EXPECT_EQ(feed(whole, c.input).size(), c.answers) << c.name;
    size_t answers = 0;
    for (uint8_t b : c.input) answers += byteByByte.receive(&b, 1).size();
    EXPECT_EQ(answers, c.answers) << c.name << " (byte by byte)";
  }
}

TEST(Instrument, AddressFiltering) {
  struct Case {
    uint8_t own;
    bool broadcast;
    uint8_t to;
    bool answers;
  };
  const Case cases[] = {{1, true, 0, true},   {1, true, 1, true},  {1, true, 2, false},
                        {1, false, 0, false}, {7, false, 7, true}, {7, true, 1, false}};
  for (const Case& c : cases) {
    Instrument instrument(c.own);
    instrument.setAnswersBroadcast(c.broadcast);
    const auto answers = feed(instrument, request(c.to, 0x00, 0x00));
    ASSERT_EQ(answers.size(), c.answers ? 1u : 0u) << int(c.own) << " to " << int(c.to);
    if (c.answers) {
      EXPECT_EQ(answers[0][kOffAddress], c.own);
    }
  }
}

TEST(Instrument, WriteThenReadRoundTripAndWrapAround) {
  Instrument instrument;
  const Bytes data = {1, 2, 3, 0, 0xFF};
  const auto writeAnswer = feed(instrument, writeRequest(1, 0x0648, data));
  ASSERT_EQ(writeAnswer.size(), 1u);
  EXPECT_EQ(writeAnswer[0][kOffLength], 0);
  EXPECT_EQ(instrument.peek(0x0648, data.size()), data);

  const auto readAnswer = feed(instrument, readRequest(1, 0x0646, 9));
  ASSERT_EQ(readAnswer.size(), 1u);
  EXPECT_EQ(Bytes(readAnswer[0].begin() + 8, readAnswer[0].begin() + 13), data);

  feed(instrument, writeRequest(1, 0xFFFE, {0xA1, 0xA2, 0xA3}));
  EXPECT_EQ(instrument.peek(0xFFFE, 3), (Bytes{0xA1, 0xA2, 0xA3}));
  EXPECT_EQ(instrument.memory()[0], 0xA3);
}

// The field values are checked end to end, through the window; here the filler that lets a
// test see bytes the tool must carry through unchanged.
TEST(Instrument, DefaultRecordHasNoZeroOutsideItsFields) {
  const auto a = defaultSettingsArea();
  EXPECT_EQ(a[106], 0);  // texts are zero-filled to the end of their field
  for (auto [from, to] : {std::pair{0, 6}, {20, 24}, {27, 42}, {155, 200}}) {
    for (int i = from; i < to; ++i) EXPECT_NE(a[i], 0) << "offset " << i;
  }
}

TEST(Instrument, FaultsThatNeedMoreThanOneRequest) {
  Instrument instrument;
  instrument.faults().answerFromAttempt = 3;
  const Bytes identify = request(0, 0x00, 0x00);
  EXPECT_TRUE(feed(instrument, identify).empty());
  EXPECT_TRUE(feed(instrument, readRequest(1, 0, 1)).empty());  // another request starts over
  EXPECT_TRUE(feed(instrument, identify).empty());
  EXPECT_TRUE(feed(instrument, identify).empty());
  EXPECT_EQ(feed(instrument, identify).size(), 1u);
  EXPECT_TRUE(feed(instrument, identify).empty());  // answered: the next one counts afresh

  Instrument writer;
  writer.faults().silentFromWrite = 2;
  const Bytes before = writer.peek(0x10, 1);
  EXPECT_EQ(feed(writer, writeRequest(1, 0x0F, {0x42})).size(), 1u);
  EXPECT_TRUE(feed(writer, writeRequest(1, 0x10, {static_cast<uint8_t>(before[0] + 1)})).empty());
  EXPECT_EQ(writer.peek(0x10, 1), before);  // an unanswered write is not stored
}

// A scoped fault shapes only the answers to its kind of request, from the N-th on; the rest of
// the conversation stays healthy. Each letter is one answer: '.' good, 'X' shaped by the fault.
TEST(Instrument, ScopedFaultsShapeOnlyTheChosenAnswers) {
  const Bytes identify = request(0, 0x00, 0x00), read = readRequest(1, 0x0620, 40);
  const Bytes write = writeRequest(1, 0x0620, {1, 2});
  const std::vector<Bytes> conversation = {identify, read, read, read, write, write, write, identify};
  struct Case {
    FaultScope scope;
    const char* shaped;
  };
  const Case cases[] = {
      {{}, "XXXXXXXX"},
      {{FaultScope::Command::Read, 3}, "...X...."},
      {{FaultScope::Command::Write, 2}, ".....XX."},
      {{FaultScope::Command::Identify, 1}, "X......X"},
  };
  for (const Case& c : cases) {
    Instrument instrument;
    instrument.faults().badChecksum = true;
    instrument.faults().scope = c.scope;
    std::string shaped;
    for (const Bytes& r : conversation) {
      const auto answers = feed(instrument, r);
      ASSERT_EQ(answers.size(), 1u);
      shaped += answers[0].back() == frameChecksum(answers[0].data(), answers[0].size() - 1) ? '.' : 'X';
    }
    EXPECT_EQ(shaped, c.shaped);
  }
}

TEST(Instrument, AnAnswerOfAnotherCountAndChatterInsteadOfAnAnswer) {
  Instrument instrument;
  instrument.faults().readLength = 39;
  const auto shorter = feed(instrument, readRequest(1, 0x0620, 40));
  ASSERT_EQ(shorter.size(), 1u);
  EXPECT_EQ(shorter[0].size(), 39u + kFrameOverhead);  // a good frame, only not what was asked
  EXPECT_EQ(shorter[0].back(), frameChecksum(shorter[0].data(), shorter[0].size() - 1));

  instrument.faults() = {};
  instrument.faults().chatterBytes = 300;
  const auto chatter = feed(instrument, writeRequest(1, 0x0700, {0xAA, 0x55}));
  ASSERT_EQ(chatter.size(), 1u);
  EXPECT_EQ(chatter[0].size(), 300u);
  EXPECT_EQ(std::count(chatter[0].begin(), chatter[0].end(), 0xAA), 0) << "never a start byte";
  EXPECT_EQ(instrument.peek(0x0700, 2), (Bytes{0xAA, 0x55})) << "the write is stored all the same";
  EXPECT_EQ(instrument.lastWriteAddress(), 0x0700);
}

TEST(MemoryImage, SavesLoadsAndRejectsWrongSizes) {
  const testing::TempDir dir;
  const std::string path = dir.file("memory.bin");
  InstrumentMemory memory = defaultMemory();
  memory[0x1234] = 0x5A;
  ASSERT_EQ(testing::failureText(saveMemoryImage(path, memory)), std::nullopt);
  InstrumentMemory loaded{};
  ASSERT_EQ(testing::failureText(loadMemoryImage(path, loaded)), std::nullopt);
  EXPECT_EQ(loaded, memory);

  std::filesystem::resize_file(path, 65535);
  InstrumentMemory untouched{};
  EXPECT_FALSE(loadMemoryImage(path, untouched).ok());
  EXPECT_EQ(untouched, InstrumentMemory{});
  EXPECT_FALSE(loadMemoryImage(dir.file("missing.bin"), untouched).ok());
  EXPECT_FALSE(saveMemoryImage(dir.file("no/such/dir.bin"), memory).ok());
}

TEST(SimOptions, ParsesFlagsAndRejectsBadValues) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
  };
  const Case cases[] = {
      {{}, true},
      {{"--tcp", "127.0.0.1:0", "--pty=/tmp/x"}, true},
      {{"--answer-from", "3", "--noise=4", "--write-answer", "01 02"}, true},
      {{"--address", "2", "--address", "2"}, false},
      {{"--oversize-length", "70"}, false},
      {{"--tcp", "127.0.0.1"}, false},
      {{"--delay"}, false},
      {{"--silent=1"}, false},
      {{"--write-answer", "012"}, false},
      {{"--frobnicate"}, false},
      {{"--pty", "/tmp/x", "--baud", "57600", "--strict-rate"}, true},
      {{"--pty", "/tmp/x", "--strict-rate"}, false},  // no rate to be strict about
      {{"--mangle-write", "0x10000"}, false},
      {{"--fault-scope", "write:3", "--read-length", "0", "--chatter", "300", "--late-byte", "5:300"}, true},
      {{"--fault-scope", "read:0"}, false},
      {{"--fault-scope", "all:2"}, false},
      {{"--fault-scope", "writes"}, false},
      {{"--read-length", "71"}, false},
      {{"--chatter", "0"}, false},
      {{"--late-byte", "5"}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseSimOptions(c.args).ok(), c.ok) << (c.args.empty() ? "" : c.args[0]);
  }
  const SimOptions o = parseSimOptions({"--pty", "/tmp/l", "--oversize-length", "80", "--drop-after", "0",
                                        "--write-answer", "echo", "--address", "5"})
                           .value();
  EXPECT_FALSE(o.serveTcp);  // only the pseudo-terminal was asked for
  EXPECT_EQ(o.ptyLink, "/tmp/l");
  EXPECT_EQ(o.faults.oversizeLength, 80);
  EXPECT_EQ(o.timing.dropAfterBytes, 0u);
  EXPECT_TRUE(o.faults.echoWrites);
  EXPECT_EQ(o.addresses, Bytes{5});
  EXPECT_EQ(parseSimOptions({"--write-answer", "0a:0B"}).value().faults.writeAnswer, (Bytes{0x0A, 0x0B}));
  EXPECT_EQ(parseSimOptions({"--mangle-write", "0x0a5B"}).value().faults.mangleAddress, 0x0A5B);
  const SimOptions scoped = parseSimOptions({"--fault-scope", "read:3", "--late-byte=5:270"}).value();
  EXPECT_EQ(scoped.faults.scope.command, FaultScope::Command::Read);
  EXPECT_EQ(scoped.faults.scope.from, 3u);
  EXPECT_EQ(scoped.timing.lateByte->index, 5u);
  EXPECT_EQ(scoped.timing.lateByte->ms, 270u);
  EXPECT_EQ(parseSimOptions({"--fault-scope", "identify"}).value().faults.scope.from, 1u);
  for (const char* flag : {"--silent", "--answer-from", "--silent-from-read", "--silent-from-write",
                           "--type-padding", "--noise", "--stray-start", "--bad-checksum", "--bad-complement",
                           "--oversize-length", "--write-answer", "--delay", "--byte-gap", "--baud",
                           "--drop-after", "--tcp", "--pty", "--address", "--type", "--memory", "--state",
                           "--log", "--quiet", "--strict-rate", "--mangle-write", "--read-length", "--chatter",
                           "--late-byte", "--fault-scope"}) {
    EXPECT_NE(simHelpText().find(flag), std::string::npos) << flag;
  }
}

}  // namespace
}  // namespace netsetup
