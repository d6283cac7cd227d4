#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "FakeInstrument.h"
#include "netblock/SettingsTransfer.h"

namespace netsetup {
namespace {

using fake::CountingSleeper;
using fake::FakeFactory;
using fake::FakeInstrument;
using Request = FakeInstrument::Request;

constexpr uint8_t kNetworkAddress = 7;
constexpr uint8_t kGroupRead = 0x0F;
constexpr uint8_t kGroupWrite = 0x0A;
constexpr uint16_t kChunkAddresses[kChunkCount] = {0x0620, 0x0648, 0x0670, 0x0698, 0x06C0};
constexpr size_t kChunkOffsets[kChunkCount] = {0, 40, 80, 120, 160};

// A link opened on a serial line to the fake instrument, whose memory holds a known pattern.
struct Bench {
  Bench() {
    for (size_t i = 0; i < instrument.memory.size(); ++i) instrument.memory[i] = static_cast<uint8_t>(i * 7 + 3);
    link.SetUseTcp(false);
    opened = link.Open(1, 9600);
  }

  // Whether instrument memory holds area bytes [from, to) at their place.
  bool holds(const SettingsArea& area, size_t from, size_t to) const {
    return std::equal(area.begin() + from, area.begin() + to, instrument.memory.begin() + kSettingsAreaAddress + from);
  }

  FakeInstrument instrument;
  FakeFactory factory{instrument};
  CountingSleeper sleeper;
  Tmod07 link{factory, sleeper};
  bool opened = false;
};

std::unique_ptr<Bench> openBench() {
  auto bench = std::make_unique<Bench>();
  EXPECT_TRUE(bench->opened);
  return bench;
}

std::vector<Request> expectedRequests(uint8_t group, int chunks) {
  std::vector<Request> out;
  for (int k = 0; k < chunks; ++k) {
    const uint8_t count = group == kGroupRead ? kReadChunkSize : kWriteChunkSizes[k];
    out.push_back({kNetworkAddress, group, kChunkAddresses[k], count});
  }
  return out;
}

SettingsArea pattern(uint8_t seed) {
  SettingsArea area;
  for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(seed + i * 13);
  return area;
}

TEST(SettingsTransfer, ReadsFiveChunksOfFortyBytes) {
  auto bench = openBench();
  SettingsArea area{};
  const TransferResult result = ReadSettingsArea(bench->link, kNetworkAddress, area);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.failedChunk, -1);
  EXPECT_EQ(bench->instrument.requests, expectedRequests(kGroupRead, kChunkCount));
  EXPECT_TRUE(bench->holds(area, 0, kSettingsAreaSize));
}

TEST(SettingsTransfer, WritesBytesUpTo194InFiveChunks) {
  auto bench = openBench();
  SettingsArea area = pattern(0x40);
  const SettingsArea sent = area;
  const TransferResult result = WriteSettingsArea(bench->link, kNetworkAddress, area);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(bench->instrument.requests, expectedRequests(kGroupWrite, kChunkCount));
  EXPECT_TRUE(bench->holds(sent, 0, kWrittenAreaSize));
  for (size_t i = kWrittenAreaSize; i < kSettingsAreaSize; ++i) {
    EXPECT_NE(bench->instrument.memory[kSettingsAreaAddress + i], sent[i]) << "byte " << i << " was written";
  }
}

// The instrument's answer is copied back over the chunk it answers; a long answer must neither
// change what the next chunk sends nor run past the end of the area.
TEST(SettingsTransfer, LongWriteAnswersStayInsideTheirChunk) {
  auto bench = openBench();
  bench->instrument.writeAnswerLength = 70;
  SettingsArea area = pattern(0x11);
  const SettingsArea sent = area;
  ASSERT_TRUE(WriteSettingsArea(bench->link, kNetworkAddress, area).ok);
  EXPECT_TRUE(bench->holds(sent, 0, kWrittenAreaSize));
  EXPECT_TRUE(std::equal(area.begin() + kWrittenAreaSize, area.end(), sent.begin() + kWrittenAreaSize));
}

TEST(SettingsTransfer, StopsAtTheFirstFailingChunk) {
  for (int failing = 0; failing < kChunkCount; ++failing) {
    for (const uint8_t group : {kGroupRead, kGroupWrite}) {
      SCOPED_TRACE(::testing::Message() << (group == kGroupRead ? "read" : "write") << " failing at chunk " << failing);
      auto bench = openBench();
      bench->instrument.silentFrom = static_cast<size_t>(failing);  // one request per chunk until then
      const auto memoryBefore = bench->instrument.memory;
      SettingsArea area = pattern(0x5A);
      const SettingsArea before = area;

      const TransferResult result = group == kGroupRead ? ReadSettingsArea(bench->link, kNetworkAddress, area)
                                                        : WriteSettingsArea(bench->link, kNetworkAddress, area);
      EXPECT_FALSE(result.ok);
      EXPECT_EQ(result.failedChunk, failing);
      EXPECT_EQ(result.status, ErrTimeout);
      EXPECT_EQ(bench->instrument.distinctRequests(), expectedRequests(group, failing + 1));
      if (group == kGroupRead) {
        EXPECT_EQ(area, before) << "a failed read leaves the caller's area untouched";
      } else {
        const size_t stored = kChunkOffsets[failing];
        EXPECT_TRUE(bench->holds(before, 0, stored)) << "chunks before the failure stay written";
        EXPECT_TRUE(std::equal(bench->instrument.memory.begin() + kSettingsAreaAddress + stored,
                               bench->instrument.memory.end(),
                               memoryBefore.begin() + kSettingsAreaAddress + stored));
      }
    }
  }
}

}  // namespace
}  // namespace netsetup
