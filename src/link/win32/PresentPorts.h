#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace netsetup {

// Declared here without the Windows headers, which their includer may bring in its own order
// (link/win32/PortRegistry.h).
class PortRegistry;
PortRegistry& systemPortRegistry();

// A serial port this machine has, with the adapter's name where Windows knows one.
struct PresentPort {
  unsigned number = 0;  // n of "COMn"
  std::wstring name;    // e.g. "USB-SERIAL CH340"; empty when unknown
  std::optional<uint32_t> latencyTimerMs;  // where the adapter's driver keeps one
  bool operator==(const PresentPort&) const = default;
};

// The ports the system lists now (its serial device map and its Ports device class), by number.
std::vector<PresentPort> presentSerialPorts(PortRegistry& registry = systemPortRegistry());

// Port n as the system lists it now; nothing when it does not.
std::optional<PresentPort> presentSerialPort(unsigned number, PortRegistry& registry = systemPortRegistry());

// n for "COMn" in any case, 0 for any other text.
unsigned comPortNumber(std::wstring_view text);

// "COM5" for "\\.\COM5": the port's own name in a device path.
std::string comPortName(const std::string& device);

}  // namespace netsetup
