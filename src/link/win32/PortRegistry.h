#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/win32/WinApi.h"

namespace netsetup {

// A registry value as stored: its type and its bytes.
struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// One present device of the Ports class: its friendly name and, from its device key (the
// driver's "Device Parameters"), the port's name and the USB adapter's latency timer where the
// driver keeps one. Each is missing when the device has no key or the key no such value.
struct PortDevice {
  std::wstring friendlyName;
  std::optional<RegistryValue> portName;      // PortName
  std::optional<RegistryValue> latencyTimer;  // LatencyTimer
};

// What the registry tells about serial ports, read through SetupAPI and the registry calls;
// tests hand in a fake device tree.
class PortRegistry {
 public:
  virtual ~PortRegistry() = default;
  virtual std::vector<PortDevice> portDevices() = 0;
  // HARDWARE\DEVICEMAP\SERIALCOMM: one value per port the drivers created, its data "COMn".
  virtual std::vector<RegistryValue> deviceMap() = 0;
};

// The real registry.
PortRegistry& systemPortRegistry();

// A REG_SZ value's text, up to its first zero (the stored data need not end in one); empty for
// anything else.
std::wstring registryText(const std::optional<RegistryValue>& value);

// A REG_DWORD value; nothing for anything else.
std::optional<uint32_t> registryDword(const std::optional<RegistryValue>& value);

}  // namespace netsetup
