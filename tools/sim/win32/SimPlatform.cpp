#include "SimPlatform.h"

#include <io.h>

namespace netsetup {

bool syncFile(std::FILE* file) { return _commit(_fileno(file)) == 0; }

std::tm localTime(std::time_t seconds) {
  std::tm local{};
  localtime_s(&local, &seconds);
  return local;
}

}  // namespace netsetup
