#include "link/Frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "link/StatusCode.h"
#include "support/ResponseFrame.h"

namespace netsetup {
namespace {

using testing::responseFrame;

// Feeds bytes as the receiver does and reports how the frame ended (or Continue if unfinished).
struct Fed {
  ResponseCheck last{ResponseStep::Continue, StatusOk};
  size_t consumed = 0;  // bytes fed until the frame ended
  size_t discarded = 0;
};

Fed feed(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> frame(300);
  size_t index = 0, expected = kFrameOverhead;
  Fed fed;
  for (uint8_t b : bytes) {
    ++fed.consumed;
    frame[index] = b;
    fed.last = checkResponseByte(frame.data(), index, expected);
    if (fed.last.step == ResponseStep::Discard) {
      ++fed.discarded;
    } else if (fed.last.step == ResponseStep::Continue) {
      ++index;
    } else {
      return fed;
    }
  }
  fed.last = {ResponseStep::Continue, StatusOk};
  return fed;
}

TEST(Frame, CompletesRequestsWithComplementAndChecksum) {
  struct Case {
    uint8_t address;
    std::vector<uint8_t> body;  // group, command, N, data
    std::vector<uint8_t> expected;
  };
  const Case cases[] = {
      {0, {0x00, 0x00, 0x00}, {0x55, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xAB}},
      {1, {0x0F, 0x01, 0x03, 0x06, 0x20, 0x28}, {0x55, 0x01, 0xFE, 0x0F, 0x01, 0x03, 0x06, 0x20, 0x28, 0x4A}},
      {255, {0x00, 0x00, 0x00}, {0x55, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xAB}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> frame(3 + c.body.size() + 1);
    std::copy(c.body.begin(), c.body.end(), frame.begin() + 3);
    EXPECT_EQ(completeRequest(frame.data(), c.address), c.expected.size());
    EXPECT_EQ(frame, c.expected) << "address " << int(c.address);
  }
}

TEST(Frame, ChecksResponsesByteByByte) {
  auto good = responseFrame(1, {'A', 'B'});
  auto badSum = good;
  badSum.back() = static_cast<uint8_t>(badSum.back() + 1);
  auto badComplement = good;
  badComplement[2] ^= 0x01;
  std::vector<uint8_t> noisy{0x00, 0x55, 0xFF, 0x13};
  noisy.insert(noisy.end(), good.begin(), good.end());
  std::vector<uint8_t> stray{0xAA};
  stray.insert(stray.end(), good.begin(), good.end());
  auto strayBefore55 = responseFrame(0x55, {});
  strayBefore55.insert(strayBefore55.begin(), 0xAA);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    ResponseStep step;
    int32_t status;
    size_t consumed;
  };
  const Case cases[] = {
      {"valid", good, ResponseStep::Complete, StatusOk, 9},
      {"empty data", responseFrame(7, {}), ResponseStep::Complete, StatusOk, 7},
      {"largest", responseFrame(1, std::vector<uint8_t>(70, 0x11)), ResponseStep::Complete, StatusOk, 77},
      {"noise first", noisy, ResponseStep::Complete, StatusOk, 13},
      {"checksum off by one", badSum, ResponseStep::Complete, ErrChecksum, 9},
      {"complement fails at byte 2", badComplement, ResponseStep::Fail, ErrAddress, 3},
      {"stray start byte", stray, ResponseStep::Fail, ErrAddress, 3},
      // The real start byte lands in the address slot; with address 0x55 its complement fits.
      {"stray start byte, address 0x55", strayBefore55, ResponseStep::Complete, ErrChecksum, 7},
      {"unfinished", {0xAA, 1, 0xFE, 0, 0, 2, 'A'}, ResponseStep::Continue, StatusOk, 7},
      {"length 71", {0xAA, 1, 0xFE, 0, 0, 71, 0, 0}, ResponseStep::Fail, ErrLength, 6},
      {"length 255", {0xAA, 1, 0xFE, 0, 0, 255, 0, 0}, ResponseStep::Fail, ErrLength, 6},
  };
  for (const Case& c : cases) {
    Fed fed = feed(c.bytes);
    EXPECT_EQ(fed.last.step, c.step) << c.name;
    EXPECT_EQ(fed.last.status, c.status) << c.name;
    EXPECT_EQ(fed.consumed, c.consumed) << c.name;
  }
}

}  // namespace
}  // namespace netsetup
