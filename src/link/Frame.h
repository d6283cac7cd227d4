#pragma once
#include <cstddef>
#include <cstdint>

namespace netsetup {

// Frame: start, address, ~address, group, command, N, N data bytes, checksum.
inline constexpr uint8_t kRequestStart = 0x55;
inline constexpr uint8_t kResponseStart = 0xAA;
inline constexpr size_t kFrameOverhead = 7;
inline constexpr size_t kMaxResponseData = 70;
inline constexpr size_t kMaxResponseFrame = kMaxResponseData + kFrameOverhead;  // 77
inline constexpr size_t kMaxRequestData = 248;
inline constexpr size_t kMaxRequestFrame = kMaxRequestData + kFrameOverhead;  // 255

// Offsets inside a frame.
inline constexpr size_t kOffStart = 0, kOffAddress = 1, kOffComplement = 2, kOffGroup = 3,
                        kOffCommand = 4, kOffLength = 5, kOffData = 6;

// NOT of the 8-bit sum of the first `count` bytes.
uint8_t frameChecksum(const uint8_t* bytes, size_t count);

// Completes a request whose group, command, N and data are already in place: start byte,
// address, complement and checksum. Returns the frame length N + 7.
size_t completeRequest(uint8_t* frame, uint8_t address);

// What the receiver does after storing the byte at `index` of a response.
enum class ResponseStep {
  Discard,   // hunting: not a start byte, stay at index 0
  Continue,  // keep receiving; index advances
  Complete,  // the frame is whole; `status` says whether its checksum holds
  Fail       // a check failed; `status` says which
};

struct ResponseCheck {
  ResponseStep step;
  int32_t status;  // StatusCode for Complete and Fail, else StatusOk
};

// Checks a response byte by byte. `frame[0..index]` holds what has arrived; `expectedLength`
// starts at 7 and is updated when the length byte arrives.
ResponseCheck checkResponseByte(const uint8_t* frame, size_t index, size_t& expectedLength);

}  // namespace netsetup
