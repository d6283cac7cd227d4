#include "link/win32/PresentPorts.h"

#include <map>

#include "link/win32/PortRegistry.h"

#include "text/ComPortName.h"
#include "text/Wide.h"

namespace netsetup {

unsigned comPortNumber(std::wstring_view text) { return comPortNumber(toUtf8(text)); }

std::string comPortName(const std::string& device) {
  const size_t slash = device.rfind('\\');
  return slash == std::string::npos ? device : device.substr(slash + 1);
}

std::vector<PresentPort> presentSerialPorts(PortRegistry& registry) {
  std::map<unsigned, PresentPort> ports;
  for (const RegistryValue& value : registry.deviceMap()) {
    if (const unsigned number = comPortNumber(registryText(value))) ports[number].number = number;
  }
  for (const PortDevice& device : registry.portDevices()) {
    const unsigned number = comPortNumber(registryText(device.portName));
    if (number == 0) continue;  // a printer port, or a device with no key
    ports[number] = {number, device.friendlyName, registryDword(device.latencyTimer)};
  }
  std::vector<PresentPort> list;
  for (auto& [number, port] : ports) list.push_back(std::move(port));
  return list;
}

std::optional<PresentPort> presentSerialPort(unsigned number, PortRegistry& registry) {
  for (PresentPort& port : presentSerialPorts(registry)) {
    if (port.number == number) return std::move(port);
  }
  return std::nullopt;
}

}  // namespace netsetup
