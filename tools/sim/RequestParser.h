#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace netsetup {

enum class RequestVerdict {
  Ok,
  BadComplement,  // byte 2 is not the NOT of byte 1
  BadLength,      // N over 248: no request is that long
  BadChecksum
};

// One request as the instrument's receiver framed it, good or bad.
struct RequestFrame {
  std::vector<uint8_t> skipped;  // bytes discarded while hunting for this frame's 0x55 (at most
                                 // kMaxKeptSkipped of them are kept)
  size_t skippedCount = 0;       // how many were discarded in all
  std::vector<uint8_t> bytes;    // from the 0x55 on; a rejected frame ends where it was rejected
  RequestVerdict verdict = RequestVerdict::Ok;
};

// Frames the request stream the way an instrument's receiver does: hunts for 0x55, rejects a
// frame as soon as its complement or length is impossible and then hunts again from the byte
// after the rejected start byte, and checks the checksum once the frame is whole.
class RequestParser {
 public:
  static constexpr size_t kMaxKeptSkipped = 64;
  static constexpr uint8_t kMaxRequestLength = 248;

  std::vector<RequestFrame> feed(const uint8_t* bytes, size_t count);

  // True while a frame is begun but not whole, or discarded bytes wait to be reported.
  bool pending() const { return !frame_.empty() || skippedCount_ > 0; }

  // Drops a half-received frame (the instrument's inter-byte time-out). Returns what was dropped.
  std::vector<uint8_t> reset();

 private:
  void step(uint8_t byte, std::vector<RequestFrame>& out);
  void deliver(RequestVerdict verdict, std::vector<RequestFrame>& out);

  std::vector<uint8_t> frame_;
  std::vector<uint8_t> skipped_;
  size_t skippedCount_ = 0;
};

}  // namespace netsetup
