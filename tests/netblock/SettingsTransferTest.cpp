#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "Instrument.h"
#include "InstrumentTransport.h"
#include "link/DeviceCommands.h"
#include "link/Frame.h"
#include "netblock/SettingsTransfer.h"
#include "support/CountingSleeper.h"

namespace netsetup {
namespace {

// Network address, group, memory address and byte count of one request the link sent.
using Request = std::tuple<int, int, int, int>;

constexpr uint8_t kNetworkAddress = 7;
constexpr size_t kChunkOffsets[kChunkCount] = {0, 40, 80, 120, 160};

// Serial lines to the instrument that log every request the link sends on them.
class RecordingFactory final : public TransportFactory {
 public:
  explicit RecordingFactory(Instrument& instrument) : lines_(instrument) {}
  Result<std::unique_ptr<Transport>, SerialOpenFailure> openSerial(const std::string& device, int32_t baud) override {
    return std::unique_ptr<Transport>(std::make_unique<Line>(lines_.openSerial(device, baud).value(), requests));
  }
  TcpConnection connectTcp(const Ipv4Octets&, uint16_t) override { return {ConnectFailure{ErrConnect, {}}, nullptr}; }

  std::vector<Request> requests;

 private:
  class Line final : public Transport {
   public:
    Line(std::unique_ptr<Transport> line, std::vector<Request>& log) : line_(std::move(line)), log_(log) {}
    size_t purge() override { return line_->purge(); }
    size_t send(const uint8_t* f, size_t count) override {
      const int bytes = f[kOffGroup] == kGroupRead ? f[kOffData + 2] : f[kOffLength] - 2;
      log_.emplace_back(f[kOffAddress], f[kOffGroup], f[kOffData] << 8 | f[kOffData + 1], bytes);
      return line_->send(f, count);
    }
    bool readByte(uint8_t& byte) override { return line_->readByte(byte); }
    void close() override { line_->close(); }

   private:
    std::unique_ptr<Transport> line_;
    std::vector<Request>& log_;
  };

  InstrumentTransportFactory lines_;
};

// A link opened on a serial line to the simulated instrument, whose memory holds a known pattern.
struct Bench {
  Bench() {
    for (size_t i = 0; i < memory().size(); ++i) memory()[i] = static_cast<uint8_t>(i * 7 + 3);
    EXPECT_TRUE(link.Open(1, 9600));
  }

  InstrumentMemory& memory() { return instrument.memory(); }
  // Whether instrument memory holds area bytes [from, to) at their place.
  bool holds(const SettingsArea& area, size_t from, size_t to) {
    return std::equal(area.begin() + from, area.begin() + to, memory().begin() + kSettingsAreaAddress + from);
  }

  Instrument instrument{kNetworkAddress};
  RecordingFactory factory{instrument};
  testing::CountingSleeper sleeper;
  Tmod07 link{factory, sleeper};
};

// One request for each of the first `chunks` chunks.
std::vector<Request> chunkRequests(uint8_t group, int chunks) {
  std::vector<Request> out;
  for (int k = 0; k < chunks; ++k) {
    const int count = group == kGroupRead ? kReadChunkSize : kWriteChunkSizes[k];
    out.emplace_back(kNetworkAddress, group, kSettingsAreaAddress + kChunkOffsets[k], count);
  }
  return out;
}

SettingsArea pattern(uint8_t seed) {
  SettingsArea area;
  for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(seed + i * 13);
  return area;
}

TEST(SettingsTransfer, ReadsFiveChunksOfFortyBytes) {
  Bench bench;
  SettingsArea area{};
  const TransferResult result = ReadSettingsArea(bench.link, kNetworkAddress, area);
  EXPECT_TRUE(result.ok()) << "no chunk failed";
  EXPECT_EQ(bench.factory.requests, chunkRequests(kGroupRead, kChunkCount));
  EXPECT_TRUE(bench.holds(area, 0, kSettingsAreaSize));
}

TEST(SettingsTransfer, WritesBytesUpTo194InFiveChunks) {
  Bench bench;
  SettingsArea area = pattern(0x40);
  const SettingsArea sent = area;
  const TransferResult result = WriteSettingsArea(bench.link, kNetworkAddress, area);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(bench.factory.requests, chunkRequests(kGroupWrite, kChunkCount));
  EXPECT_TRUE(bench.holds(sent, 0, kWrittenAreaSize));
  for (size_t i = kWrittenAreaSize; i < kSettingsAreaSize; ++i) {
    EXPECT_NE(bench.memory()[kSettingsAreaAddress + i], sent[i]) << "byte " << i << " was written";
  }
}

// The instrument's answer is copied back over the chunk it answers; a long answer must neither
// change what the next chunk sends nor run past the end of the area.
TEST(SettingsTransfer, LongWriteAnswersStayInsideTheirChunk) {
  Bench bench;
  bench.instrument.faults().writeAnswer = std::vector<uint8_t>(kMaxResponseData, 0xEE);
  SettingsArea area = pattern(0x11);
  const SettingsArea sent = area;
  ASSERT_TRUE(WriteSettingsArea(bench.link, kNetworkAddress, area).ok());
  EXPECT_TRUE(bench.holds(sent, 0, kWrittenAreaSize));
  EXPECT_TRUE(std::equal(area.begin() + kWrittenAreaSize, area.end(), sent.begin() + kWrittenAreaSize));
}

TEST(SettingsTransfer, StopsAtTheFirstFailingChunk) {
  for (int failing = 0; failing < kChunkCount; ++failing) {
    for (const uint8_t group : {kGroupRead, kGroupWrite}) {
      SCOPED_TRACE(::testing::Message() << (group == kGroupRead ? "read" : "write") << " failing at chunk " << failing);
      Bench bench;
      // One request per chunk until then; an unanswered write is not stored.
      (group == kGroupRead ? bench.instrument.faults().silentFromRead : bench.instrument.faults().silentFromWrite) =
          static_cast<unsigned>(failing + 1);
      const InstrumentMemory memoryBefore = bench.memory();
      SettingsArea area = pattern(0x5A);
      const SettingsArea before = area;

      const TransferResult result = group == kGroupRead ? ReadSettingsArea(bench.link, kNetworkAddress, area)
                                                        : WriteSettingsArea(bench.link, kNetworkAddress, area);
      ASSERT_FALSE(result.ok());
      EXPECT_EQ(result.failure().failedChunk, failing);
      EXPECT_EQ(result.failure().status, ErrTimeout);
      std::vector<Request> expected = chunkRequests(group, failing + 1);
      const Request retried = expected.back();  // the link's own retries, then no other chunk
      expected.insert(expected.end(), bench.link.retryCount() - 1, retried);
      EXPECT_EQ(bench.factory.requests, expected);
      if (group == kGroupRead) {
        EXPECT_EQ(area, before) << "a failed read leaves the caller's area untouched";
      } else {
        const size_t stored = kChunkOffsets[failing];
        EXPECT_TRUE(bench.holds(before, 0, stored)) << "chunks before the failure stay written";
        EXPECT_TRUE(std::equal(bench.memory().begin() + kSettingsAreaAddress + stored, bench.memory().end(),
                               memoryBefore.begin() + kSettingsAreaAddress + stored));
      }
    }
  }
}

// How a caller holds a stop back once the write is committed: here, as in the CLI, one stop
// counts before the first chunk and two after it.
TEST(SettingsTransfer, ACommittedWriteStopsOnlyWhenItsCallerSays) {
  struct Case {
    const char* name;
    unsigned stopsFromTheStart, stopsOnceTwoChunksAreOut;
    bool committed;
    int chunksSent;
  };
  const Case cases[] = {
      {"no stop", 0, 0, true, kChunkCount},
      {"one stop before the first chunk", 1, 1, false, 0},
      {"one stop once it is out", 0, 1, true, kChunkCount},
      {"two stops once it is out", 0, 2, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench;
    bool committed = false;
    bench.link.setStopCheck([&] {
      const unsigned stops = bench.factory.requests.size() >= 2 ? c.stopsOnceTwoChunksAreOut : c.stopsFromTheStart;
      return stops >= (committed ? 2u : 1u);
    });
    SettingsArea area = pattern(0x21);
    const TransferResult result = WriteSettingsArea(bench.link, kNetworkAddress, area, [&] { committed = true; });
    EXPECT_EQ(committed, c.committed);
    EXPECT_EQ(result.ok(), c.chunksSent == kChunkCount);
    if (!result) {
      EXPECT_TRUE(result.failure().interrupted);
    }
    EXPECT_EQ(bench.factory.requests, chunkRequests(kGroupWrite, c.chunksSent));
  }
}

// Which chunks a stopped write names as confirmed, unconfirmed and unsent: the one it stopped
// at is unconfirmed when the instrument failed it, unsent when the write was interrupted.
TEST(SettingsTransfer, WrittenChunksTextNamesEachChunkOnce) {
  static constexpr ChunkWords kWords{"C", "Cs", "of", "unconfirmed", "ok", "oks", "unsent", "unsents"};
  const struct {
    TransferFailure failure;
    const char* text;
  } cases[] = {
      {{.failedChunk = 0, .status = 2}, "C 1 of 5 unconfirmed (st); Cs 2-5 unsents"},
      {{.failedChunk = 1, .status = 2}, "C 2 of 5 unconfirmed (st); C 1 ok; Cs 3-5 unsents"},
      {{.failedChunk = 3, .status = 2}, "C 4 of 5 unconfirmed (st); Cs 1-3 oks; C 5 unsent"},
      {{.failedChunk = 4, .status = 2}, "C 5 of 5 unconfirmed (st); Cs 1-4 oks"},
      {{.failedChunk = 0, .interrupted = true}, "Cs 1-5 unsents"},
      {{.failedChunk = 2, .interrupted = true}, "Cs 1-2 oks; Cs 3-5 unsents"},
      {{.failedChunk = 4, .interrupted = true}, "Cs 1-4 oks; C 5 unsent"},
  };
  for (const auto& c : cases) EXPECT_EQ(writtenChunksText(c.failure, kWords, "st"), c.text);
}

}  // namespace
}  // namespace netsetup
