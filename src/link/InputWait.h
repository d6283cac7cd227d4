#pragma once

namespace netsetup {

// How a wait for input on a line ended.
enum class InputWait {
  Arrived,   // input is there (or the end of a stream, which the next read finds)
  TimedOut,  // the deadline passed with nothing
  Unknown    // the system cannot tell when input comes: an error, a hung-up line, or no such wait
};

}  // namespace netsetup
