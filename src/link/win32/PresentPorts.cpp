#include "link/win32/PresentPorts.h"

#include "link/win32/Handles.h"

// One translation unit defines the device class GUIDs it uses.
#include <initguid.h>

#include <devguid.h>

#include <map>

#include "text/ComPortName.h"
#include "text/Wide.h"

namespace netsetup {

namespace {

// A REG_SZ value's text; the stored data need not end in a zero.
std::wstring registryText(HKEY key, const wchar_t* valueName) {
  DWORD type = 0, bytes = 0;
  if (::RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ) return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS) {
    return {};
  }
  text.resize(text.find(L'\0'));
  return text;
}

// HARDWARE\DEVICEMAP\SERIALCOMM: one value per port the drivers have created, its data "COMn".
void addDeviceMapPorts(std::map<unsigned, std::wstring>& ports) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return;
  }
  const UniqueRegistryKey key(opened);
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[256];
    DWORD nameLength = ARRAYSIZE(valueName);
    const LONG found = ::RegEnumValueW(key.get(), index, valueName, &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (found != ERROR_SUCCESS) break;
    if (const unsigned number = comPortNumber(registryText(key.get(), valueName))) ports.try_emplace(number);
  }
}

// The Ports class of present devices: the port name from each device's key, and its friendly name.
void addDeviceClassPorts(std::map<unsigned, std::wstring>& ports) {
  const UniqueDeviceList devices(::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT));
  if (!devices) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices.get(), index, &device); ++index) {
    // INVALID_HANDLE_VALUE, not null, when the device has no key.
    const HKEY opened = ::SetupDiOpenDevRegKey(devices.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (opened == INVALID_HANDLE_VALUE) continue;
    const unsigned number = comPortNumber(registryText(UniqueRegistryKey(opened).get(), L"PortName"));
    if (number == 0) continue;  // a printer port
    wchar_t name[256] = {};
    ::SetupDiGetDeviceRegistryPropertyW(devices.get(), &device, SPDRP_FRIENDLYNAME, nullptr,
                                        reinterpret_cast<BYTE*>(name), sizeof name - sizeof(wchar_t), nullptr);
    ports[number] = name;
  }
}

}  // namespace

unsigned comPortNumber(std::wstring_view text) { return comPortNumber(toUtf8(text)); }

std::vector<PresentPort> presentSerialPorts() {
  std::map<unsigned, std::wstring> ports;
  addDeviceMapPorts(ports);
  addDeviceClassPorts(ports);
  std::vector<PresentPort> list;
  for (auto& [number, name] : ports) list.push_back({number, name});
  return list;
}

}  // namespace netsetup
