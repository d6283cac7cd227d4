#pragma once

namespace netsetup::cli {

// What netsetup-cli returns, so scripts can tell a bad command line from a dead link from a
// refused value without reading the messages.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDiffers = 1;        // diff: the instrument differs from the sheet
inline constexpr int kExitUsage = 2;          // the command line is wrong
inline constexpr int kExitLink = 3;           // the link could not be opened
inline constexpr int kExitIdentify = 4;       // no answer to identification, or not a VRN-207K
inline constexpr int kExitTransfer = 5;       // a read or write of the settings area failed
inline constexpr int kExitRefused = 6;        // a value was refused before anything was sent
inline constexpr int kExitVerify = 7;         // reading back found a difference
inline constexpr int kExitNothingFound = 8;   // scan found no instrument
inline constexpr int kExitBatchFailed = 9;    // batch finished with at least one failed row
inline constexpr int kExitDamaged = 10;       // scan: something answers, but its answers are damaged
inline constexpr int kExitInterrupted = 130;  // Ctrl+C, as shells report SIGINT

}  // namespace netsetup::cli
