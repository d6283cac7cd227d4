#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace netsetup {

// The settings block in instrument memory: 200 bytes from 0x0620, of which the first 155 are
// the network record. Numbers are little-endian; texts are zero-filled Windows-1251 bytes and
// may fill their field without a terminating zero.
inline constexpr uint16_t kSettingsAreaAddress = 0x0620;
inline constexpr size_t kSettingsAreaSize = 200;
inline constexpr size_t kRecordSize = 155;

using SettingsArea = std::array<uint8_t, kSettingsAreaSize>;

inline constexpr size_t kIpv4Size = 4;
inline constexpr size_t kPortSize = 2;

inline constexpr size_t kIpAddressOffset = 6;
inline constexpr size_t kIpMaskOffset = 10;
inline constexpr size_t kIpGatewayOffset = 14;
inline constexpr size_t kIpPortOffset = 18;
inline constexpr size_t kServerPortOffset = 24;
inline constexpr size_t kDhcpOffset = 26;
inline constexpr size_t kServerAddressOffset = 42;
inline constexpr size_t kServerAddressSize = 32;
inline constexpr size_t kAuthTypeOffset = 74;
inline constexpr size_t kApnNameOffset = 75;
inline constexpr size_t kApnNameSize = 32;
inline constexpr size_t kDialStringOffset = 107;
inline constexpr size_t kDialStringSize = 16;
inline constexpr size_t kApnLoginOffset = 123;
inline constexpr size_t kApnLoginSize = 16;
inline constexpr size_t kApnPasswordOffset = 139;
inline constexpr size_t kApnPasswordSize = 16;

inline constexpr std::string_view kDialString = "*99#";
inline constexpr int kAuthTypeCount = 4;      // none, any, PAP, CHAP
inline constexpr uint8_t kAuthNoneByte = 255;  // stored when no authentication entry is selected

static_assert(kApnPasswordOffset + kApnPasswordSize == kRecordSize);
static_assert(kServerAddressOffset + kServerAddressSize == kAuthTypeOffset);
static_assert(kApnNameOffset + kApnNameSize == kDialStringOffset);
static_assert(kDialStringOffset + kDialStringSize == kApnLoginOffset);

// The record's fields that the tool writes.
enum class SettingsField {
  IpAddress,
  IpMask,
  IpGateway,
  IpPort,
  ServerPort,
  ServerAddress,
  ApnName,
  ApnLogin,
  ApnPassword,
  Dhcp,
  AuthType,
  DialString  // not shown; always written as kDialString
};

// What the window shows and edits; texts are UTF-8.
struct NetworkFields {
  bool dhcp = false;
  std::string ipAddress, ipMask, ipGateway, ipPort, serverAddress, serverPort, apnName, apnLogin,
      apnPassword;
  int authIndex = -1;  // -1 = none selected

  bool operator==(const NetworkFields&) const = default;
};

}  // namespace netsetup
