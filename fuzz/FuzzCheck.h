#pragma once
// What every fuzz target shares: a property check that stops the run so libFuzzer keeps the
// input, and small helpers for turning fuzz bytes into the values a target needs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace netsetup::fuzz {

// Prints the failed property (and the texts involved, escaped) and aborts: libFuzzer reports a
// deadly signal and saves the input as crash-<sha1>.
[[noreturn]] inline void violated(const char* property, const char* file, int line, std::string_view a = {},
                                  std::string_view b = {}) {
  const auto escaped = [](std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
      if (c >= 0x20 && c < 0x7F && c != '\\') {
        out += static_cast<char>(c);
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
      }
    }
    return out;
  };
  std::fprintf(stderr, "\nPROPERTY VIOLATED at %s:%d: %s\n", file, line, property);
  if (!a.empty()) std::fprintf(stderr, "  first:  \"%s\"\n", escaped(a).c_str());
  if (!b.empty()) std::fprintf(stderr, "  second: \"%s\"\n", escaped(b).c_str());
  std::fflush(stderr);
  std::abort();
}

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// True for the bytes a line of text for people must not hold: C0 controls and DEL.
inline bool isControlByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b < 0x20 || b == 0x7F;
}

inline bool hasControlByte(std::string_view text) {
  for (char c : text)
    if (isControlByte(c)) return true;
  return false;
}

}  // namespace netsetup::fuzz

#define FUZZ_CHECK(condition, property) \
  ((condition) ? void(0) : ::netsetup::fuzz::violated(property, __FILE__, __LINE__))
#define FUZZ_CHECK_EQ(first, second, property)                                                 \
  (((first) == (second)) ? void(0)                                                             \
                         : ::netsetup::fuzz::violated(property, __FILE__, __LINE__, (first), (second)))
