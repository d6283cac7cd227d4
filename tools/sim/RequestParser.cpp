#include "RequestParser.h"

#include "link/Frame.h"

namespace netsetup {

std::vector<RequestFrame> RequestParser::feed(const uint8_t* bytes, size_t count) {
  std::vector<RequestFrame> out;
  for (size_t i = 0; i < count; ++i) step(bytes[i], out);
  return out;
}

std::vector<uint8_t> RequestParser::reset() {
  std::vector<uint8_t> dropped = skipped_;
  dropped.insert(dropped.end(), frame_.begin(), frame_.end());
  frame_.clear();
  skipped_.clear();
  skippedCount_ = 0;
  return dropped;
}

void RequestParser::step(uint8_t byte, std::vector<RequestFrame>& out) {
  if (frame_.empty()) {
    if (byte == kRequestStart) {
      frame_.push_back(byte);
    } else {
      if (skipped_.size() < kMaxKeptSkipped) skipped_.push_back(byte);
      ++skippedCount_;
    }
    return;
  }
  frame_.push_back(byte);
  const size_t size = frame_.size();
  RequestVerdict rejected = RequestVerdict::Ok;
  if (size == kOffComplement + 1 && static_cast<uint8_t>(~frame_[kOffComplement]) != frame_[kOffAddress]) {
    rejected = RequestVerdict::BadComplement;
  } else if (size == kOffLength + 1 && frame_[kOffLength] > kMaxRequestLength) {
    rejected = RequestVerdict::BadLength;
  }
  if (rejected != RequestVerdict::Ok) {
    // The start byte was not a start after all: hunt again from the byte after it.
    const std::vector<uint8_t> rest(frame_.begin() + 1, frame_.end());
    deliver(rejected, out);
    for (uint8_t b : rest) step(b, out);
    return;
  }
  if (size >= kOffData + 1 && size == frame_[kOffLength] + kFrameOverhead) {
    const bool sumOk = frameChecksum(frame_.data(), size - 1) == frame_.back();
    deliver(sumOk ? RequestVerdict::Ok : RequestVerdict::BadChecksum, out);
  }
}

void RequestParser::deliver(RequestVerdict verdict, std::vector<RequestFrame>& out) {
  RequestFrame frame;
  frame.skipped = std::move(skipped_);
  frame.skippedCount = skippedCount_;
  frame.bytes = std::move(frame_);
  frame.verdict = verdict;
  out.push_back(std::move(frame));
  skipped_.clear();
  frame_.clear();
  skippedCount_ = 0;
}

}  // namespace netsetup
