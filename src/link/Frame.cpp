#include "link/Frame.h"

#include "link/StatusCode.h"

namespace netsetup {

uint8_t frameChecksum(const uint8_t* bytes, size_t count) {
  uint8_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
  return static_cast<uint8_t>(~sum);
}

size_t completeRequest(uint8_t* frame, uint8_t address) {
  frame[kOffStart] = kRequestStart;
  frame[kOffAddress] = address;
  frame[kOffComplement] = static_cast<uint8_t>(~address);
  const size_t n = frame[kOffLength];
  frame[kOffData + n] = frameChecksum(frame, kOffData + n);
  return n + kFrameOverhead;
}

ResponseCheck checkResponseByte(const uint8_t* frame, size_t index, size_t& expectedLength) {
  if (index == 0) {
    return {frame[0] == kResponseStart ? ResponseStep::Continue : ResponseStep::Discard, StatusOk};
  }
  if (index == kOffComplement && static_cast<uint8_t>(~frame[kOffComplement]) != frame[kOffAddress]) {
    return {ResponseStep::Fail, ErrAddress};
  }
  if (index == kOffLength) {
    expectedLength = frame[kOffLength] + kFrameOverhead;
    if (expectedLength > kMaxResponseFrame) return {ResponseStep::Fail, ErrLength};
  }
  if (index + 1 < expectedLength) return {ResponseStep::Continue, StatusOk};
  const bool sumOk = frameChecksum(frame, expectedLength - 1) == frame[expectedLength - 1];
  return {ResponseStep::Complete, sumOk ? StatusOk : ErrChecksum};
}

}  // namespace netsetup
