#include "text/ComPortName.h"

#include "text/AsciiCase.h"

namespace netsetup {

unsigned comPortNumber(std::string_view name) {
  if (name.size() < 4 || name.size() > 6 || !equalsIgnoringAsciiCase(name.substr(0, 3), "COM")) return 0;
  unsigned number = 0;
  for (char c : name.substr(3)) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number;
}

}  // namespace netsetup
