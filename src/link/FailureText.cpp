#include "link/FailureText.h"

namespace netsetup {

std::string tcpFailureText(const Ipv4Octets& address, uint16_t port, TcpFailure kind, const std::string& systemReason) {
  const std::string host = formatIpv4(address);
  const std::string where = host + ":" + std::to_string(port);
  switch (kind) {
    case TcpFailure::TimedOut:
      return "No answer from " + where + " in time: the host is down, or a firewall drops the connection.";
    case TcpFailure::Refused:
      return "The connection to " + where +
             " was refused: nothing accepts connections on that port there. Check the address and port, and that "
             "the converter is switched on.";
    case TcpFailure::Unreachable:
      return host + " cannot be reached from this computer (" + systemReason +
             "): check the network cable and the address.";
    case TcpFailure::Other:
      break;
  }
  return "Cannot connect to " + where + ": " + systemReason + ".";
}

}  // namespace netsetup
