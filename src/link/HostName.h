#pragma once
#include <string>

#include "text/Ipv4Text.h"
#include "text/Result.h"

namespace netsetup {

// A host's name (DNS, /etc/hosts, whatever the system asks) to its first IPv4 address
// (src/link/posix, src/link/win32); a Failure in the system's words when it has none.
Result<Ipv4Octets> resolveHostName(const std::string& name);

}  // namespace netsetup
