#include "link/PortMap.h"

namespace netsetup {

std::string PortMap::defaultDevice(unsigned number) {
  if (number >= 1 && number <= 8) return "/dev/ttyUSB" + std::to_string(number - 1);
  if (number >= 9 && number <= 12) return "/dev/ttyACM" + std::to_string(number - 9);
  if (number >= 13 && number <= 16) return "/dev/ttyS" + std::to_string(number - 13);
  return "";
}

std::string PortMap::device(unsigned number) const {
  auto it = overrides_.find(number);
  return it != overrides_.end() ? it->second : defaultDevice(number);
}

void PortMap::set(unsigned number, std::string device) { overrides_[number] = std::move(device); }

}  // namespace netsetup
