#include "SimPlatform.h"

namespace netsetup {

std::tm localTime(std::time_t seconds) {
  std::tm local{};
  localtime_s(&local, &seconds);
  return local;
}

}  // namespace netsetup
