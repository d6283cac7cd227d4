#include "netblock/NetworkCodec.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "text/Cp1251.h"
#include "text/IntegerText.h"
#include "text/Ipv4Text.h"
#include "text/SingleLine.h"

namespace netsetup {
namespace {

using Encoded = Result<void, EncodeError>;

std::string decodeAddress(const SettingsArea& area, size_t offset) {
  Ipv4Octets octets;
  std::copy_n(area.begin() + offset, kIpv4Size, octets.begin());
  return formatIpv4(octets);
}

std::string decodePort(const SettingsArea& area, size_t offset) {
  return std::to_string(area[offset] | (area[offset + 1] << 8));
}

std::string decodeText(const SettingsArea& area, size_t offset, size_t size) {
  const auto* begin = reinterpret_cast<const char*>(area.data() + offset);
  const std::string_view field(begin, size);
  return decodeCp1251(field.substr(0, field.find('\0')));
}

// With DHCP on, the unit takes its address elsewhere and an unparsable text keeps the classic
// all-ones value; with DHCP off that value would cut the unit off its network, so it is refused.
Encoded encodeAddress(const std::string& text, bool dhcp, SettingsField field, SettingsArea& area) {
  const std::optional<Ipv4Octets> octets = tryParseIpv4(text);
  if (!octets && !dhcp) return EncodeError{.kind = EncodeErrorKind::BadAddress, .field = field, .text = text};
  const Ipv4Octets stored = octets.value_or(kIpv4Failure);
  std::copy(stored.begin(), stored.end(), area.begin() + fieldInfo(field).offset);
  return {};
}

Encoded encodePort(const std::string& text, SettingsField field, SettingsArea& area) {
  const std::optional<int32_t> value = parseInteger(text);
  if (!value) return EncodeError{.kind = EncodeErrorKind::NotInteger, .field = field, .text = text};
  if (*value < 0 || *value > kMaxTcpPort) {
    return EncodeError{.kind = EncodeErrorKind::OutOfRange,
                       .field = field,
                       .text = text,
                       .minimum = 0,
                       .maximum = kMaxTcpPort};
  }
  const size_t offset = fieldInfo(field).offset;
  area[offset] = static_cast<uint8_t>(*value & 0xFF);
  area[offset + 1] = static_cast<uint8_t>(*value >> 8);
  return {};
}

// A control character never belongs in these texts: a zero would end the text early on the
// next read, and a pasted line break or tab would be stored where nobody sees it.
Encoded encodeText(const std::string& text, SettingsField field, SettingsArea& area) {
  const size_t offset = fieldInfo(field).offset, size = fieldInfo(field).size;
  const Cp1251Encoding encoded = encodeCp1251(text);
  if (encoded.invalidUtf8) return EncodeError{.kind = EncodeErrorKind::Unencodable, .field = field, .text = text};
  const auto control = std::find_if(text.begin(), text.end(), [](char c) { return isControlCharacter(uint8_t(c)); });
  if (control != text.end()) {
    return EncodeError{.kind = EncodeErrorKind::ControlCharacter,
                       .field = field,
                       .text = text,
                       .character = static_cast<char32_t>(*control)};
  }
  if (!encoded.unmappable.empty()) {
    return EncodeError{
        .kind = EncodeErrorKind::Unencodable, .field = field, .text = text, .character = encoded.unmappable.front()};
  }
  if (encoded.bytes.size() > size) {
    return EncodeError{.kind = EncodeErrorKind::TooLong,
                       .field = field,
                       .text = text,
                       .length = encoded.bytes.size(),
                       .capacity = size};
  }
  std::fill_n(area.begin() + offset, size, 0);
  std::memcpy(area.data() + offset, encoded.bytes.data(), encoded.bytes.size());
  return {};
}

uint8_t authByte(int authIndex) {
  // The list offers only 0..3; anything else is "nothing selected", as decoding reads it back.
  return authIndex >= 0 && authIndex < kAuthTypeCount ? static_cast<uint8_t>(authIndex) : kAuthNoneByte;
}

}  // namespace

NetworkFields decodeNetworkSettings(const SettingsArea& area) {
  NetworkFields f;
  f.dhcp = area[kDhcpOffset] != 0;
  if (!f.dhcp) {
    f.ipAddress = decodeAddress(area, kIpAddressOffset);
    f.ipMask = decodeAddress(area, kIpMaskOffset);
    f.ipGateway = decodeAddress(area, kIpGatewayOffset);
  }
  f.ipPort = decodePort(area, kIpPortOffset);
  f.serverPort = decodePort(area, kServerPortOffset);
  f.serverAddress = decodeText(area, kServerAddressOffset, kServerAddressSize);
  f.apnName = decodeText(area, kApnNameOffset, kApnNameSize);
  f.apnLogin = decodeText(area, kApnLoginOffset, kApnLoginSize);
  f.apnPassword = decodeText(area, kApnPasswordOffset, kApnPasswordSize);
  const uint8_t auth = area[kAuthTypeOffset];
  f.authIndex = auth < kAuthTypeCount ? auth : -1;
  return f;
}

Encoded encodeField(const NetworkFields& f, SettingsField field, SettingsArea& area) {
  using F = SettingsField;
  const size_t offset = fieldInfo(field).offset;
  switch (field) {
    case F::IpAddress: return encodeAddress(f.ipAddress, f.dhcp, field, area);
    case F::IpMask: return encodeAddress(f.ipMask, f.dhcp, field, area);
    case F::IpGateway: return encodeAddress(f.ipGateway, f.dhcp, field, area);
    case F::IpPort: return encodePort(f.ipPort, field, area);
    case F::ServerPort: return encodePort(f.serverPort, field, area);
    case F::ServerAddress: return encodeText(f.serverAddress, field, area);
    case F::ApnName: return encodeText(f.apnName, field, area);
    case F::ApnLogin: return encodeText(f.apnLogin, field, area);
    case F::ApnPassword: return encodeText(f.apnPassword, field, area);
    case F::Dhcp: area[offset] = f.dhcp ? 1 : 0; break;
    case F::AuthType: area[offset] = authByte(f.authIndex); break;
    case F::DialString:
      std::fill_n(area.begin() + offset, kDialStringSize, 0);
      std::copy(kDialString.begin(), kDialString.end(), area.begin() + offset);
      break;
  }
  return {};
}

Encoded encodeNetworkSettings(const NetworkFields& fields, SettingsArea& area) {
  SettingsArea updated = area;
  for (SettingsField field : kEncodeOrder)
    if (Encoded encoded = encodeField(fields, field, updated); !encoded) return encoded;
  area = updated;
  return {};
}

std::string decodeStoredAddress(const SettingsArea& area, SettingsField field) {
  return decodeAddress(area, fieldInfo(field).offset);
}

}  // namespace netsetup
