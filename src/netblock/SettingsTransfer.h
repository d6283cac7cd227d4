#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/StatusCode.h"
#include "link/Umod07.h"
#include "netblock/NetworkSettings.h"
#include "text/Result.h"

namespace netsetup {

inline constexpr int kChunkCount = 5;
inline constexpr uint8_t kReadChunkSize = 40;
inline constexpr std::array<uint8_t, kChunkCount> kWriteChunkSizes = {40, 40, 40, 40, 35};
inline constexpr size_t kWrittenAreaSize = 195;  // area bytes 195..199 are read, never written

// Where a transfer of the area stopped.
struct TransferFailure {
  int failedChunk = 0;        // 0..4
  int32_t status = StatusOk;  // the link's Status after the failed chunk
  // The link's stop check fired: the transfer ended before chunk `failedChunk` (a write sent
  // nothing of it), not because the instrument failed.
  bool interrupted = false;
};
using TransferResult = Result<void, TransferFailure>;

// How many bytes from the area's start a write stored with the instrument's confirmation: all
// of bytes 0..194 when it went through, else those of the chunks before the one that failed.
size_t confirmedBytes(const TransferResult& result);

// True when a write ended before its first chunk was sent, so the instrument holds what it held.
// Any other failure may have changed it (a chunk whose answer was lost may still be stored).
bool nothingSent(const TransferResult& result);

// One language's words for what a stopped write did to each chunk.
struct ChunkWords {
  std::string_view chunk;            // before one chunk's number
  std::string_view chunks;           // before a range "1-3"
  std::string_view of;               // "chunk 4 of 5"
  std::string_view sentUnconfirmed;  // the chunk whose answer did not confirm it
  std::string_view confirmedOne, confirmedSeveral;
  std::string_view unsentOne, unsentSeveral;
};

// "chunk 4 of 5 was sent but not confirmed (<status>); chunks 1-3 are written and confirmed;
// chunk 5 was not sent". An interrupted write never sent the chunk it stopped at, so that one
// counts among the unsent. `status` says in the same language what the link's status was.
std::string writtenChunksText(const TransferFailure& failure, const ChunkWords& words, std::string_view status);

// Five reads of 40 bytes from 0x0620 upwards; stops at the first failing chunk. The caller's
// area changes only when all five chunks arrived.
TransferResult ReadSettingsArea(Tmod07& link, uint8_t networkAddress, SettingsArea& area);

// Writes area bytes 0..194 in chunks of 40, 40, 40, 40 and 35 bytes; stops at the first
// failing chunk, leaving the chunks before it written, or before the next chunk when the
// link's stop check fires (a chunk already sent is seen through by the link). `committed`, when
// given, runs once the last stop check before the first chunk has passed: from then on the
// instrument may change, so a caller can hold a stop back until the write is whole. The
// instrument's answer to each chunk may overwrite that chunk's bytes in `area` (never those of
// the next chunk).
TransferResult WriteSettingsArea(Tmod07& link, uint8_t networkAddress, SettingsArea& area,
                                 const std::function<void()>& committed = {});

}  // namespace netsetup
