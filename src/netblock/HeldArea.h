#pragma once
#include <array>
#include <cstddef>

#include "netblock/NetworkSettings.h"
#include "netblock/SettingsTransfer.h"

namespace netsetup {

// What an instrument is known to hold in its settings area, byte by byte, once a write has run:
// a chunk it confirmed holds what was sent, a chunk never sent what it held before, and the one
// chunk sent without a confirmation may hold either, so its bytes are known only where the old
// and the new value are the same. Reading the area back makes every byte known.
class HeldArea {
 public:
  // After WriteSettingsArea of `sent` (as it went out, before any answer was copied back) over
  // `before` ended with `result`.
  static HeldArea afterWrite(const SettingsArea& before, const SettingsArea& sent, const TransferResult& result);
  // What a read found.
  static HeldArea asRead(const SettingsArea& read);

  bool known(size_t offset) const { return known_[offset]; }
  bool known(SettingsField field) const;
  // Where known, what the instrument holds; elsewhere what was sent.
  const SettingsArea& bytes() const { return bytes_; }
  // Whether a byte known to be held differs from `before`: the write certainly changed something.
  bool differsFrom(const SettingsArea& before) const;

 private:
  SettingsArea bytes_{};
  std::array<bool, kSettingsAreaSize> known_{};
};

}  // namespace netsetup
