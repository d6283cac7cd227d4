#include "link/PortMap.h"

namespace netsetup {

// The list's entries are the real port names; the device namespace form opens COM10 and up too.
std::string PortMap::defaultDevice(unsigned number) {
  if (number < 1 || number > kPortCount) return "";
  return "\\\\.\\COM" + std::to_string(number);
}

}  // namespace netsetup
