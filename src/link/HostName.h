#pragma once
#include <string>
#include <string_view>

#include "text/Ipv4Text.h"
#include "text/Result.h"

namespace netsetup {

// A host's name (DNS, /etc/hosts, whatever the system asks) to its first IPv4 address
// (src/link/posix, src/link/win32); a Failure in the system's words when it has none.
Result<Ipv4Octets> resolveHostName(const std::string& name);

// A host as a user may name one: an IPv4 address (inetAddr's forms), or a DNS name (or one
// /etc/hosts knows) of letters, digits, hyphens, underscores and dots, at most 253, starting
// with neither a hyphen nor a dot.
bool isHostText(std::string_view text);

}  // namespace netsetup
