#include "link/win32/PortRegistry.h"

#include "link/win32/Handles.h"

// One translation unit defines the device class GUIDs it uses.
#include <initguid.h>

#include <devguid.h>

#include <cstring>

namespace netsetup {

namespace {

std::optional<RegistryValue> queryValue(HKEY key, const wchar_t* name) {
  DWORD type = REG_NONE, bytes = 0;
  if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
  RegistryValue value{type, std::vector<BYTE>(bytes)};
  if (::RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(bytes);
  return value;
}

class SystemPortRegistry final : public PortRegistry {
 public:
  std::vector<PortDevice> portDevices() override {
    std::vector<PortDevice> found;
    const UniqueDeviceList devices(::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT));
    if (!devices) return found;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices.get(), index, &device); ++index) {
      PortDevice& entry = found.emplace_back();
      wchar_t name[256] = {};
      if (::SetupDiGetDeviceRegistryPropertyW(devices.get(), &device, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<BYTE*>(name), sizeof name - sizeof(wchar_t), nullptr)) {
        entry.friendlyName = name;
      }
      // INVALID_HANDLE_VALUE, not null, when the device has no key.
      const HKEY opened = ::SetupDiOpenDevRegKey(devices.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
      if (opened == INVALID_HANDLE_VALUE) continue;
      const UniqueRegistryKey key(opened);
      entry.portName = queryValue(key.get(), L"PortName");
      entry.latencyTimer = queryValue(key.get(), L"LatencyTimer");
    }
    return found;
  }

  std::vector<RegistryValue> deviceMap() override {
    std::vector<RegistryValue> ports;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &opened) !=
        ERROR_SUCCESS) {
      return ports;
    }
    const UniqueRegistryKey key(opened);
    for (DWORD index = 0;; ++index) {
      wchar_t valueName[256];
      DWORD nameLength = ARRAYSIZE(valueName);
      if (::RegEnumValueW(key.get(), index, valueName, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      if (std::optional<RegistryValue> value = queryValue(key.get(), valueName)) ports.push_back(std::move(*value));
    }
    return ports;
  }
};

}  // namespace

PortRegistry& systemPortRegistry() {
  static SystemPortRegistry registry;
  return registry;
}

std::wstring registryText(const std::optional<RegistryValue>& value) {
  if (!value || value->type != REG_SZ) return {};
  std::wstring text(value->data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), value->data.data(), text.size() * sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));
}

std::optional<uint32_t> registryDword(const std::optional<RegistryValue>& value) {
  if (!value || value->type != REG_DWORD || value->data.size() != sizeof(uint32_t)) return std::nullopt;
  uint32_t number = 0;
  std::memcpy(&number, value->data.data(), sizeof number);
  return number;
}

}  // namespace netsetup
