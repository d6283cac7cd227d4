#include "window/win32/PortList.h"

// One translation unit defines the device class GUIDs it uses.
#include <initguid.h>

#include <commctrl.h>
#include <devguid.h>
#include <setupapi.h>

#include <map>

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
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[256];
    DWORD nameLength = ARRAYSIZE(valueName);
    if (::RegEnumValueW(key, index, valueName, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (const unsigned number = comPortNumber(registryText(key, valueName))) ports.try_emplace(number);
  }
  ::RegCloseKey(key);
}

// The Ports class of present devices: the port name from each device's key, and its friendly name.
void addDeviceClassPorts(std::map<unsigned, std::wstring>& ports) {
  HDEVINFO devices = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    const unsigned number = comPortNumber(registryText(key, L"PortName"));
    ::RegCloseKey(key);
    if (number == 0) continue;  // a printer port
    wchar_t name[256] = {};
    ::SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr, reinterpret_cast<BYTE*>(name),
                                        sizeof name - sizeof(wchar_t), nullptr);
    ports[number] = name;
  }
  ::SetupDiDestroyDeviceInfoList(devices);
}

}  // namespace

unsigned comPortNumber(std::wstring_view text) {
  if (text.size() < 4 || text.size() > 6 || ::CompareStringOrdinal(text.data(), 3, L"COM", 3, TRUE) != CSTR_EQUAL) {
    return 0;
  }
  unsigned number = 0;
  for (wchar_t c : text.substr(3)) {
    if (c < L'0' || c > L'9') return 0;
    number = number * 10 + (c - L'0');
  }
  return number;
}

std::vector<PresentPort> presentSerialPorts() {
  std::map<unsigned, std::wstring> ports;
  addDeviceMapPorts(ports);
  addDeviceClassPorts(ports);
  std::vector<PresentPort> list;
  for (auto& [number, name] : ports) list.push_back({number, name});
  return list;
}

std::wstring portListTip(const std::vector<PresentPort>& ports) {
  if (ports.empty()) return L"На этом компьютере нет COM-портов";
  std::wstring tip = L"COM-порты этого компьютера:";
  for (const PresentPort& port : ports) {
    const std::wstring com = L"COM" + std::to_wstring(port.number);
    std::wstring name = port.name;
    // Friendly names usually end in the port's own name: "USB Serial Port (COM3)".
    const std::wstring suffix = L" (" + com + L")";
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      name.resize(name.size() - suffix.size());
    }
    tip += L"\n" + com + (name.empty() ? L"" : L" \u2014 " + name);
  }
  return tip;
}

HWND addPortListTip(HWND owner, HWND portList, int maxWidth) {
  HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr);
  if (!tip) return nullptr;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(portList);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, maxWidth);  // lines break at "\n"
  ::SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  return tip;
}

}  // namespace netsetup
