#pragma once
#include <cstdint>
#include <string>

#include "link/win32/WinApi.h"
#include "text/Ipv4Text.h"

namespace netsetup {

// The system's own text for a Windows error code, as UTF-8 without the trailing line break.
std::string systemMessage(DWORD error);

// What went wrong opening a COM port and what to do: a port that does not exist (with the ports
// that do), one another program holds, one that refused the line settings.
std::string explainComFailure(const std::string& device, bool opened, DWORD error);

// A failed connection (`error` a Winsock code; 0: the time ran out), with the address tried.
std::string explainTcpFailure(const Ipv4Octets& address, uint16_t port, int error);

}  // namespace netsetup
