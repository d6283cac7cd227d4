#pragma once
#include <array>
#include <cstdint>

namespace netsetup {

// The TCP port an instrument listens on unless configured otherwise, and the one the tool
// connects to when none is given.
inline constexpr uint16_t kDefaultTcpPort = 10001;

// The same in decimal, for the tables that hold texts ("10001").
inline constexpr std::array<char, 6> kDefaultTcpPortText = [] {
  std::array<char, 6> text{};
  size_t length = 0;
  for (uint32_t rest = kDefaultTcpPort; rest > 0; rest /= 10) ++length;
  uint32_t rest = kDefaultTcpPort;
  for (size_t i = length; i > 0; --i, rest /= 10) text[i - 1] = static_cast<char>('0' + rest % 10);
  return text;
}();

}  // namespace netsetup
