#include "link/Transport.h"

#include "link/Sleeper.h"

namespace netsetup {

void Transport::idle(unsigned ms, Sleeper& sleeper) { sleeper.sleepMs(ms); }

}  // namespace netsetup
