#include "link/PortMap.h"

namespace netsetup {

std::string PortMap::device(unsigned number) const {
  auto it = overrides_.find(number);
  return it != overrides_.end() ? it->second : defaultDevice(number);
}

void PortMap::set(unsigned number, std::string device) { overrides_[number] = std::move(device); }

}  // namespace netsetup
