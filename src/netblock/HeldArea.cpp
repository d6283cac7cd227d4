#include "netblock/HeldArea.h"

#include "netblock/FieldInfo.h"

namespace netsetup {

HeldArea HeldArea::afterWrite(const SettingsArea& before, const SettingsArea& sent, const TransferResult& result) {
  HeldArea held;
  const size_t confirmed = confirmedBytes(result);
  // The chunk that failed was sent, unless the write stopped before it.
  const bool oneUnconfirmed = !result && !result.failure().interrupted;
  const size_t unconfirmedEnd =
      oneUnconfirmed ? confirmed + kWriteChunkSizes[static_cast<size_t>(result.failure().failedChunk)] : confirmed;
  for (size_t i = 0; i < kSettingsAreaSize; ++i) {
    held.bytes_[i] = i < unconfirmedEnd ? sent[i] : before[i];
    held.known_[i] = i < confirmed || i >= unconfirmedEnd || sent[i] == before[i];
  }
  return held;
}

HeldArea HeldArea::asRead(const SettingsArea& read) {
  HeldArea held;
  held.bytes_ = read;
  held.known_.fill(true);
  return held;
}

bool HeldArea::known(SettingsField field) const {
  const FieldInfo& where = fieldInfo(field);
  for (size_t i = where.offset; i < where.offset + where.size; ++i)
    if (!known_[i]) return false;
  return true;
}

bool HeldArea::differsFrom(const SettingsArea& before) const {
  for (size_t i = 0; i < kSettingsAreaSize; ++i)
    if (known_[i] && bytes_[i] != before[i]) return true;
  return false;
}

}  // namespace netsetup
