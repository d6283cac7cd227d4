#include "SimPlatform.h"

#include <unistd.h>

namespace netsetup {

bool syncFile(std::FILE* file) { return ::fsync(fileno(file)) == 0; }

std::tm localTime(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace netsetup
