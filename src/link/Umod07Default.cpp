#include "link/Umod07.h"

namespace netsetup {

// Kept apart so that programs built only on injected transports do not pull in the real ones.
Tmod07::Tmod07()
    : ownedFactory_(makePlatformTransportFactory()),
      ownedSleeper_(std::make_unique<RealSleeper>()),
      factory_(*ownedFactory_),
      sleeper_(*ownedSleeper_) {}

}  // namespace netsetup
