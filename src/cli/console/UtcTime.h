#pragma once
#include <chrono>
#include <string>

namespace netsetup::cli {

// "2026-12-07T11:22:33Z": the time in UTC to the second, as backups and reports carry it.
std::string utcTimeText(std::chrono::system_clock::time_point time);

// Now, so.
std::string utcNow();

}  // namespace netsetup::cli
