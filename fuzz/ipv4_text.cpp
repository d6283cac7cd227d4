// Dotted IPv4 text by the inet_addr rules (the TCP host, the record's addresses) on any bytes.
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "text/Ipv4Text.h"

using netsetup::formatIpv4;
using netsetup::inetAddr;
using netsetup::Ipv4Octets;
using netsetup::tryParseIpv4;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = netsetup::fuzz::bytesOf(data, size);
  const std::optional<Ipv4Octets> parsed = tryParseIpv4(text);
  FUZZ_CHECK(inetAddr(text) == parsed.value_or(netsetup::kIpv4Failure), "inetAddr is the parse or all ones");
  if (parsed) {
    // What the record stores is shown as dotted decimal; that text must store the same octets.
    FUZZ_CHECK(tryParseIpv4(formatIpv4(*parsed)) == parsed, "formatted address reads back");
  }
  // The strict form is the canonical text of what inet_addr reads, and nothing else is.
  if (const std::optional<Ipv4Octets> strict = netsetup::parseDottedQuad(text)) {
    FUZZ_CHECK(parsed == strict && formatIpv4(*strict) == text, "a dotted quad is the canonical text of its address");
  } else {
    FUZZ_CHECK(!parsed || formatIpv4(*parsed) != text, "a canonical text is a dotted quad");
  }
  // A blank ends the text, whatever follows it.
  FUZZ_CHECK(tryParseIpv4(std::string(text) + " 9.9.9.9") == parsed, "a blank ends the address");

  if (size >= 4) {
    Ipv4Octets octets;
    std::memcpy(octets.data(), data, 4);
    FUZZ_CHECK(tryParseIpv4(formatIpv4(octets)) == octets, "any four octets read back");
    FUZZ_CHECK(netsetup::parseDottedQuad(formatIpv4(octets)) == octets, "any four octets read back strictly");
    const uint32_t whole = uint32_t{octets[0]} << 24 | uint32_t{octets[1]} << 16 | uint32_t{octets[2]} << 8 | octets[3];
    FUZZ_CHECK(tryParseIpv4(std::to_string(whole)) == octets, "one 32-bit number fills all four octets");
    const uint32_t low16 = uint32_t{octets[2]} << 8 | octets[3];
    const std::string threeParts =
        std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." + std::to_string(low16);
    FUZZ_CHECK(tryParseIpv4(threeParts) == octets, "the last of three parts fills two octets");
  }
  return 0;
}
