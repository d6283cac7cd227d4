#pragma once
#include <ctime>

namespace netsetup {

// The service of the operating system the instrument's portable parts need (tools/sim/posix,
// tools/sim/win32).

// The local calendar time of `seconds`, safe to call from several threads.
std::tm localTime(std::time_t seconds);

}  // namespace netsetup
