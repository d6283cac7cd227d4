#include "link/PortMap.h"

namespace netsetup {

// USB adapters come first, as service laptops have no built-in serial port.
std::string PortMap::defaultDevice(unsigned number) {
  if (number >= 1 && number <= 8) return "/dev/ttyUSB" + std::to_string(number - 1);
  if (number >= 9 && number <= 12) return "/dev/ttyACM" + std::to_string(number - 9);
  if (number >= 13 && number <= 16) return "/dev/ttyS" + std::to_string(number - 13);
  return "";
}

}  // namespace netsetup
