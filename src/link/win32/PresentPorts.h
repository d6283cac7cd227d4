#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace netsetup {

// A serial port this machine has, with the adapter's name where Windows knows one.
struct PresentPort {
  unsigned number = 0;  // n of "COMn"
  std::wstring name;    // e.g. "USB-SERIAL CH340"; empty when unknown
  bool operator==(const PresentPort&) const = default;
};

// The ports the system lists now (its serial device map and its Ports device class), by number.
std::vector<PresentPort> presentSerialPorts();

// n for "COMn" in any case, 0 for any other text.
unsigned comPortNumber(std::wstring_view text);

}  // namespace netsetup
