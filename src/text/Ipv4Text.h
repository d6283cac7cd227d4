#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace netsetup {

// Four octets in network order: the first number of the dotted text first.
using Ipv4Octets = std::array<uint8_t, 4>;

inline constexpr Ipv4Octets kIpv4Failure{255, 255, 255, 255};

// Dotted IPv4 text by the classic inet_addr rules (a.b.c.d, a.b.c, a.b, a; hex and octal parts;
// a blank ends the text). nullopt when the text does not parse; "255.255.255.255" parses.
std::optional<Ipv4Octets> tryParseIpv4(std::string_view text);

// Same rules, but a failure gives the all-ones value, exactly as inet_addr does.
Ipv4Octets inetAddr(std::string_view text);

// The one form netsetup-cli takes an address in: four decimal numbers 0..255 joined by ".",
// without signs, blanks or leading zeros ("0" itself is a number). nullopt for anything else,
// the short and octal forms inetAddr reads its own way included.
std::optional<Ipv4Octets> parseDottedQuad(std::string_view text);

// The window keeps a TCP host only when its text holds a dot, and the link connects to it only
// when it is then an address by inetAddr's rules: a name such as "localhost" is never looked up.
bool holdsDot(std::string_view hostText);
std::optional<Ipv4Octets> parseDottedHost(std::string_view hostText);

// "192.168.0.10": each octet in decimal, joined by ".".
std::string formatIpv4(const Ipv4Octets& octets);

}  // namespace netsetup
