#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/CountingSleeper.h"
#include "Instrument.h"
#include "InstrumentTransport.h"
#include "link/StatusCode.h"
#include "link/Umod07.h"

namespace netsetup {
namespace {

using Bytes = std::vector<uint8_t>;

// Tmod07 over an in-process instrument, on either transport, with no real time passing.
struct Rig {
  explicit Rig(bool tcp) : factory(instrument), link(factory, sleeper) {
    link.SetUseTcp(tcp);
    link.SetHost("127.0.0.1");
    link.portMap().set(1, "/dev/sim");
  }
  bool open() { return link.Open(1, 9600); }

  Instrument instrument;
  InstrumentTransportFactory factory;
  testing::CountingSleeper sleeper;
  Tmod07 link;
};

TEST(LinkAgainstInstrument, EachFaultGivesTheStatusTheLinkReports) {
  struct Case {
    const char* name;
    std::function<void(Instrument&)> setUp;
    int32_t status;
    unsigned attempts;
    std::string type;
  };
  const std::string padded("VRN-207K\0\0", 10);
  const Case cases[] = {
      {"healthy", [](Instrument&) {}, StatusOk, 1, "VRN-207K"},
      {"silent", [](Instrument& i) { i.faults().silent = true; }, ErrTimeout, 5, ""},
      {"answer from attempt 3", [](Instrument& i) { i.faults().answerFromAttempt = 3; }, StatusOk, 3,
       "VRN-207K"},
      {"stray 0xAA", [](Instrument& i) { i.faults().strayStart = true; }, ErrAddress, 5, ""},
      {"bad checksum", [](Instrument& i) { i.faults().badChecksum = true; }, ErrChecksum, 5, ""},
      {"bad complement", [](Instrument& i) { i.faults().badComplement = true; }, ErrAddress, 5, ""},
      {"oversize length", [](Instrument& i) { i.faults().oversizeLength = 71; }, ErrLength, 5, ""},
      {"noise first", [](Instrument& i) { i.faults().noiseBytes = 12; }, StatusOk, 1, "VRN-207K"},
      {"zero padding", [](Instrument& i) { i.faults().typePadding = 2; }, StatusOk, 1, padded},
      {"other type", [](Instrument& i) { i.setTypeString("VRN-207"); }, StatusOk, 1, "VRN-207"},
  };
  for (bool tcp : {false, true}) {
    for (const Case& c : cases) {
      Rig rig(tcp);
      c.setUp(rig.instrument);
      ASSERT_TRUE(rig.open()) << c.name;
      EXPECT_EQ(rig.link.ReadDeviceType(0), c.type) << c.name << (tcp ? " tcp" : " serial");
      EXPECT_EQ(rig.link.Status, c.status) << c.name << (tcp ? " tcp" : " serial");
      EXPECT_EQ(rig.instrument.identifyRequests(), c.attempts) << c.name << (tcp ? " tcp" : " serial");
    }
  }
}

TEST(LinkAgainstInstrument, SilentAfterSomeReadsStopsTheAreaReadAtThatChunk) {
  Rig rig(true);
  rig.instrument.faults().silentFromRead = 3;
  ASSERT_TRUE(rig.open());
  Bytes area(200, 0);
  int32_t failedAt = -1;
  for (int chunk = 0; chunk < 5 && failedAt < 0; ++chunk) {
    rig.link.ReadMemory(1, static_cast<uint16_t>(0x0620 + 40 * chunk), &area[40 * chunk], 40);
    if (rig.link.Status != StatusOk) failedAt = chunk;
  }
  EXPECT_EQ(failedAt, 2);
  EXPECT_EQ(rig.link.Status, ErrTimeout);
  EXPECT_EQ(rig.instrument.readRequests(), 2u + 5u);  // two answered, then five attempts
  EXPECT_TRUE(std::equal(area.begin(), area.begin() + 80, rig.instrument.memory().begin() + 0x0620));
  EXPECT_TRUE(std::all_of(area.begin() + 80, area.end(), [](uint8_t b) { return b == 0; }));
}

// A read answer of another count is refused at once, the destination untouched; a line that
// only chatters fails each attempt after the hunt's limit of discarded bytes.
TEST(LinkAgainstInstrument, ReadsRefuseAnotherCountAndGiveUpOnChatter) {
  struct Case {
    const char* name;
    std::function<void(Faults&)> setUp;
    int32_t status;
    unsigned attempts;
  };
  const Case cases[] = {
      {"39 bytes for 40", [](Faults& f) { f.readLength = 39; }, ErrLength, 1},
      {"41 bytes for 40", [](Faults& f) { f.readLength = 41; }, ErrLength, 1},
      {"1000 bytes of chatter", [](Faults& f) { f.chatterBytes = 1000; }, ErrTimeout, 5},
  };
  for (bool tcp : {false, true}) {
    for (const Case& c : cases) {
      Rig rig(tcp);
      c.setUp(rig.instrument.faults());
      ASSERT_TRUE(rig.open());
      Bytes area(40, 0x5A);
      rig.link.ReadMemory(1, 0x0620, area.data(), 40);
      EXPECT_EQ(rig.link.Status, c.status) << c.name;
      EXPECT_EQ(rig.instrument.readRequests(), c.attempts) << c.name;
      EXPECT_EQ(area, Bytes(40, 0x5A)) << c.name;
      EXPECT_EQ(rig.sleeper.sleeps, c.attempts == 1 ? 0 : 4 * 21) << c.name << ": no waiting for bytes";
    }
  }
}

TEST(LinkAgainstInstrument, WritesReachMemoryAndAnswerDataIsCopiedBack) {
  struct Case {
    const char* name;
    std::function<void(Faults&)> setUp;
    Bytes bufferAfter;
  };
  const Bytes sent = {10, 20, 30, 40};
  const Case cases[] = {
      {"no answer data", [](Faults&) {}, sent},
      {"two bytes back", [](Faults& f) { f.writeAnswer = Bytes{0xEE, 0xEF}; }, {0xEE, 0xEF, 30, 40}},
      {"echo", [](Faults& f) { f.echoWrites = true; }, sent},
  };
  for (const Case& c : cases) {
    Rig rig(false);
    c.setUp(rig.instrument.faults());
    ASSERT_TRUE(rig.open());
    Bytes buffer = sent;
    rig.link.WriteMemory(1, 0x0648, buffer.data(), static_cast<uint8_t>(buffer.size()));
    EXPECT_EQ(rig.link.Status, StatusOk) << c.name;
    EXPECT_EQ(buffer, c.bufferAfter) << c.name;
    EXPECT_EQ(rig.instrument.peek(0x0648, sent.size()), sent) << c.name;

    Bytes readBack(sent.size());
    rig.link.ReadMemory(1, 0x0648, readBack.data(), static_cast<uint8_t>(readBack.size()));
    EXPECT_EQ(readBack, sent) << c.name;
  }
}

TEST(LinkAgainstInstrument, AMangledWriteIsAnsweredAsUsualAndSeenOnlyOnReadBack) {
  struct Case {
    uint16_t writeAt, mangle;
    int changed;  // which of the four bytes is stored XOR 0x01; -1: none
    bool echo;
  };
  const Case cases[] = {{0x0648, 0x0649, 1, false}, {0x0648, 0x064C, -1, false}, {0xFFFE, 0x0001, 3, false},
                        {0x0648, 0x064B, 3, true}};
  const Bytes sent = {10, 20, 30, 40};
  for (const Case& c : cases) {
    Rig rig(false);
    rig.instrument.faults().mangleAddress = c.mangle;
    rig.instrument.faults().echoWrites = c.echo;
    ASSERT_TRUE(rig.open());
    const auto from = static_cast<uint16_t>(c.writeAt - 1);  // with the byte on either side
    Bytes expected = rig.instrument.peek(from, 6), buffer = sent, readBack(6);
    std::copy(sent.begin(), sent.end(), expected.begin() + 1);
    if (c.changed >= 0) expected[c.changed + 1] ^= 0x01;
    rig.link.WriteMemory(1, c.writeAt, buffer.data(), 4);
    EXPECT_EQ(rig.link.Status, StatusOk) << c.mangle;
    EXPECT_EQ(buffer, sent) << c.mangle;  // an echo repeats the bytes as sent
    rig.link.ReadMemory(1, from, readBack.data(), 6);
    EXPECT_EQ(readBack, expected) << c.mangle;
  }
}

TEST(LinkAgainstInstrument, LatencyIsCountedInPolls) {
  // Over TCP a later byte gets three polls: two empty ones pass, three fail the attempt.
  for (auto [gap, status] : {std::pair{2u, StatusOk}, {3u, ErrTimeout}}) {
    Rig rig(true);
    rig.factory.pollsBeforeAnswer = 20;
    rig.factory.pollsBetweenBytes = gap;
    ASSERT_TRUE(rig.open());
    rig.link.ReadDeviceType(0);
    EXPECT_EQ(rig.link.Status, status) << "gap " << gap;
  }
  Rig refused(false);
  refused.factory.refuseSerial = true;
  EXPECT_FALSE(refused.open());
  EXPECT_EQ(refused.link.Status, ErrPortOpen);
  EXPECT_EQ(refused.factory.lastDevice, "/dev/sim");
}

}  // namespace
}  // namespace netsetup
