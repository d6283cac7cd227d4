#include "text/Ipv4Text.h"

#include <cstddef>

#include "text/Hex.h"

namespace netsetup {
namespace {

constexpr uint64_t kPartOverflow = 0x100000000ULL;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The classic parser stops at any isspace() character in the C locale; that set is taken here.
bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digitValue(char c, unsigned base) {
  const int d = hexDigitValue(c);
  return d >= 0 && static_cast<unsigned>(d) < base ? d : -1;
}

// One part read like strtoul(s, 0): "0x" hex, a leading "0" octal, else decimal. Advances pos
// past the digits. Values above 32 bits are a failure rather than a wrap.
std::optional<uint32_t> readPart(std::string_view text, size_t& pos) {
  if (pos >= text.size() || !isDigit(text[pos])) return std::nullopt;
  unsigned base = 10;
  if (text[pos] == '0') {
    base = 8;
    ++pos;
    if (pos < text.size() && (text[pos] == 'x' || text[pos] == 'X')) {
      base = 16;
      ++pos;
      if (pos >= text.size() || digitValue(text[pos], 16) < 0) return std::nullopt;
    }
  }
  uint64_t value = 0;
  for (int d; pos < text.size() && (d = digitValue(text[pos], base)) >= 0; ++pos) {
    value = value * base + static_cast<uint64_t>(d);
    if (value >= kPartOverflow) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

std::optional<Ipv4Octets> tryParseIpv4(std::string_view text) {
  uint32_t parts[4] = {};
  size_t count = 0;
  size_t pos = 0;
  for (;;) {
    const std::optional<uint32_t> part = readPart(text, pos);
    if (!part) return std::nullopt;
    parts[count++] = *part;
    if (pos == text.size() || isCSpace(text[pos])) break;
    if (text[pos] != '.' || count == 4) return std::nullopt;
    ++pos;
  }

  // The last part fills all the bytes that the earlier parts leave over.
  uint32_t address = 0;
  switch (count) {
    case 1:
      address = parts[0];
      break;
    case 2:
      if (parts[0] > 0xFF || parts[1] > 0xFFFFFF) return std::nullopt;
      address = parts[0] << 24 | parts[1];
      break;
    case 3:
      if (parts[0] > 0xFF || parts[1] > 0xFF || parts[2] > 0xFFFF) return std::nullopt;
      address = parts[0] << 24 | parts[1] << 16 | parts[2];
      break;
    default:
      for (uint32_t p : parts) {
        if (p > 0xFF) return std::nullopt;
      }
      address = parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3];
      break;
  }
  return Ipv4Octets{static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16),
                    static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
}

Ipv4Octets inetAddr(std::string_view text) { return tryParseIpv4(text).value_or(kIpv4Failure); }

std::optional<Ipv4Octets> parseDottedQuad(std::string_view text) {
  Ipv4Octets octets{};
  size_t part = 0, digits = 0;
  unsigned value = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    if (end || text[i] == '.') {
      if (digits == 0 || part == octets.size()) return std::nullopt;
      octets[part++] = static_cast<uint8_t>(value);
      digits = 0;
      value = 0;
      continue;
    }
    const char c = text[i];
    if (c < '0' || c > '9' || (digits == 1 && value == 0)) return std::nullopt;  // a leading zero
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (++digits > 3 || value > 255) return std::nullopt;
  }
  if (part != octets.size()) return std::nullopt;
  return octets;
}

bool holdsDot(std::string_view hostText) { return hostText.find('.') != std::string_view::npos; }

std::optional<Ipv4Octets> parseDottedHost(std::string_view hostText) {
  if (!holdsDot(hostText)) return std::nullopt;
  return tryParseIpv4(hostText);
}

std::string formatIpv4(const Ipv4Octets& octets) {
  std::string out;
  for (size_t i = 0; i < octets.size(); ++i) {
    if (i > 0) out += '.';
    out += std::to_string(octets[i]);
  }
  return out;
}

}  // namespace netsetup
