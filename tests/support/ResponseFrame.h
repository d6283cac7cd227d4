#pragma once
#include <cstdint>
#include <vector>

#include "link/Frame.h"

namespace netsetup::testing {

// A well-formed response frame from `address` carrying `data`.
inline std::vector<uint8_t> responseFrame(uint8_t address, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame(data.size() + kFrameOverhead, 0);
  frame[kOffStart] = kResponseStart;
  frame[kOffAddress] = address;
  frame[kOffComplement] = static_cast<uint8_t>(~address);
  frame[kOffLength] = static_cast<uint8_t>(data.size());
  for (size_t i = 0; i < data.size(); ++i) frame[kOffData + i] = data[i];
  frame.back() = frameChecksum(frame.data(), frame.size() - 1);
  return frame;
}

}  // namespace netsetup::testing
