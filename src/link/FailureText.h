#pragma once
#include <cstdint>
#include <string>

#include "link/LinkTexts.h"
#include "text/Ipv4Text.h"

namespace netsetup {

// How a TCP connection failed, as both platforms' socket errors sort into it.
enum class TcpFailure { TimedOut, Refused, Unreachable, Other };

// The line a person reads when a connection failed, with the address tried and what to check;
// `systemReason` is the operating system's own words (used for Unreachable and Other).
Bilingual tcpFailureText(const Ipv4Octets& address, uint16_t port, TcpFailure kind, const std::string& systemReason);

}  // namespace netsetup
