#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "LineTiming.h"
#include "StopSignal.h"

namespace netsetup {

enum class WriteOutcome {
  Sent,
  Dropped,  // the drop fault cut the answer short; the caller hangs up
  Stopped,  // the server is stopping
  Failed    // the peer is gone, or the line stayed full for a second
};

// Sends an answer on a socket or a pseudo-terminal master (non-blocking descriptors), paced by
// the byte gap and baud rate of `timing`, with its late byte held back, and cut short by its
// drop fault. The delay before the
// answer is the caller's, so that the transcript shows when the answer really went out.
WriteOutcome writeAnswer(int fd, bool isSocket, const std::vector<uint8_t>& bytes, const LineTiming& timing,
                         const StopSignal& stop);

}  // namespace netsetup
