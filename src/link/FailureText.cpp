#include "link/FailureText.h"

namespace netsetup {

Bilingual tcpFailureText(const Ipv4Octets& address, uint16_t port, TcpFailure kind, const std::string& systemReason) {
  const std::string host = formatIpv4(address);
  const std::string where = host + ":" + std::to_string(port);
  return inBoth([&](Language language) {
    switch (kind) {
      case TcpFailure::TimedOut: return linkText(language, LinkText::TcpTimedOut, {where});
      case TcpFailure::Refused: return linkText(language, LinkText::TcpRefused, {where});
      case TcpFailure::Unreachable: return linkText(language, LinkText::TcpUnreachable, {host, systemReason});
      case TcpFailure::Other: break;
    }
    return linkText(language, LinkText::TcpOther, {where, systemReason});
  });
}

}  // namespace netsetup
