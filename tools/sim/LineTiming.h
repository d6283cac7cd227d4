#pragma once
#include <optional>

namespace netsetup {

// Timing faults and line emulation, applied by the servers as they send an answer (and, for
// the strict rate, as they receive a request).
struct LineTiming {
  unsigned delayMs = 0;                    // before each answer
  unsigned byteGapMs = 0;                  // between answer bytes
  unsigned baud = 0;                       // 0 = as fast as possible; else 10 bits per byte
  std::optional<unsigned> dropAfterBytes;  // TCP: send this many bytes of an answer, then hang up
  bool strictRate = false;                 // pty: bytes from a client whose line is not at `baud` are noise

  bool paced() const { return byteGapMs > 0 || baud > 0; }
};

}  // namespace netsetup
