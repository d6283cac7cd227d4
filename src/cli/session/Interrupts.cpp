#include "cli/session/Interrupts.h"

#include "cli/session/CliFailure.h"

namespace netsetup::cli {

bool Interrupts::stopAsked() {
  const unsigned now = count();
  if (now > noticed_) notice(now);
  return now >= (writing_ ? 2u : 1u);
}

void Interrupts::WriteScope::begin() { interrupts_.writing_ = true; }

void Interrupts::notice(unsigned count) {
  // Outside a write the stop follows at once, with its own message.
  if (writing_ && noticed_ < 1 && count >= 1) {
    notices_ << kComplaintPrefix
             << "interrupted while writing: the write has begun, so it is finished first (its remaining chunks "
                "and the reading back), then the program stops; interrupt again to stop sooner, after the exchange "
                "in hand\n";
  }
  if (writing_ && count >= 2) {
    notices_ << kComplaintPrefix
             << "interrupted again: stopping after the exchange in hand (a chunk once sent is never cut off)\n";
  }
  notices_.flush();
  noticed_ = count;
}

}  // namespace netsetup::cli
