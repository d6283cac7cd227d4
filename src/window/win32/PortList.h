#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "link/win32/PresentPorts.h"

namespace netsetup {

// The port list's tip: which ports exist, one a line, with their names.
std::wstring portListTip(const std::vector<PresentPort>& ports);

// A tip over the whole port list. Its text is asked for each time it shows (TTN_GETDISPINFOW to
// `owner`), so an adapter plugged in meanwhile is listed.
HWND addPortListTip(HWND owner, HWND portList, int maxWidth);

}  // namespace netsetup
