#include "SimPlatform.h"

#include <time.h>

namespace netsetup {

std::tm localTime(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace netsetup
