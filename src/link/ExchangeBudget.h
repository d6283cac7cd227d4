#pragma once
#include <cstdint>

namespace netsetup {

// How far the channel lets one exchange go. Its time budgets are counted in polls, not
// measured: a poll ends as soon as a byte is there, otherwise after the line's own wait
// (serial) and a 20 ms sleep, so what a budget costs in real time depends on the line.
struct ExchangeBudget {
  unsigned firstBytePolls = 0;  // for an answer's first byte, and afresh after each byte skipped while hunting
  unsigned bytePolls = 0;       // for each later byte
  unsigned pauseMs = 0;         // slept between two attempts, in 20 ms sleeps
  unsigned attempts = 0;
};

inline constexpr unsigned kPollSleepMs = 20;

// The polls a budget allows: each poll adds 2 to a tick counter, and polling goes on while the
// counter is at most budget / 10.
constexpr unsigned pollsWithin(uint32_t budgetMs) { return budgetMs / 10 / 2 + 1; }

// The 20 ms sleeps between two attempts.
constexpr unsigned pauseSleeps(uint32_t firstByteMs) { return firstByteMs / kPollSleepMs + 1; }

}  // namespace netsetup
