#pragma once
#include <optional>

namespace netsetup {

// Timing faults and line emulation, applied by the servers as they send an answer (and, for
// the strict rate, as they receive a request).
struct LineTiming {
  struct LateByte {
    unsigned index = 0;  // of the bytes sent for one answer, noise included
    unsigned ms = 0;

    bool operator==(const LateByte&) const = default;
  };

  unsigned delayMs = 0;                    // before each answer
  unsigned byteGapMs = 0;                  // between answer bytes
  unsigned baud = 0;                       // 0 = as fast as possible; else 10 bits per byte
  std::optional<unsigned> dropAfterBytes;  // TCP: send this many bytes of an answer, then hang up
  bool strictRate = false;                 // pty: bytes from a client whose line is not at `baud` are noise
  std::optional<LateByte> lateByte{};      // hold one byte of each answer back this long

  bool operator==(const LineTiming&) const = default;

  bool paced() const { return byteGapMs > 0 || baud > 0; }

  // The line alone, for an answer outside the faults' scope: pacing and rate stay, faults go.
  LineTiming withoutFaults() const {
    LineTiming line = *this;
    line.delayMs = 0;
    line.byteGapMs = 0;
    line.dropAfterBytes.reset();
    line.lateByte.reset();
    return line;
  }
};

}  // namespace netsetup
