#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace netsetup {

// What one system call brought in, handed out a byte at a time: the channel still polls byte by
// byte, but a poll costs a call only once everything that came before it has been taken.
class InputBuffer {
 public:
  static constexpr size_t kSize = 256;  // a few answers' worth

  bool take(uint8_t& byte) {
    if (next_ == end_) return false;
    byte = bytes_[next_++];
    return true;
  }

  // Where the next call may put up to room() bytes; only once take() has found it empty.
  uint8_t* space() { return bytes_.data(); }
  static constexpr size_t room() { return kSize; }
  void filled(size_t count) {
    next_ = 0;
    end_ = count;
  }

  void clear() { next_ = end_ = 0; }
  size_t size() const { return end_ - next_; }

 private:
  std::array<uint8_t, kSize> bytes_{};
  size_t next_ = 0, end_ = 0;
};

}  // namespace netsetup
