#include "link/Sleeper.h"

#include <chrono>
#include <thread>

namespace netsetup {

void RealSleeper::sleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace netsetup
