#pragma once
#include <windows.h>

#include <string>
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

// The port list's tip: which ports exist, one a line, with their names.
std::wstring portListTip(const std::vector<PresentPort>& ports);

// A tip over the whole port list. Its text is asked for each time it shows (TTN_GETDISPINFOW to
// `owner`), so an adapter plugged in meanwhile is listed.
HWND addPortListTip(HWND owner, HWND portList, int maxWidth);

}  // namespace netsetup
