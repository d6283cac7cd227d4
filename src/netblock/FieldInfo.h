#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "netblock/NetworkSettings.h"

namespace netsetup {

// How a field's bytes are read and written.
enum class FieldKind {
  Address,  // four bytes, shown dotted
  Port,     // two bytes, little-endian
  Flag,     // one byte, 0 or 1 (dhcp)
  Choice,   // one byte, an index into a list (auth)
  Text,     // zero-filled Windows-1251
  Fixed     // always written with one value (the dial string)
};

// Everything the tool knows about one field of the record, in one row.
struct FieldInfo {
  SettingsField field;
  std::string_view name;         // what options, sheets, worklists and outputs call it
  std::string_view messageName;  // what a sentence calls it: "The IP address ..."
  size_t offset, size;
  FieldKind kind;
  bool secret;                       // never shown unless asked for, never put into a message
  std::string NetworkFields::*text;  // the member holding it as text; none for dhcp, auth, dial string
};

// The fields in the order the tool shows them; the dial string, which nothing names, last.
inline constexpr std::array<FieldInfo, 12> kFieldTable{{
    {SettingsField::IpAddress, "ip", "IP address", kIpAddressOffset, kIpv4Size, FieldKind::Address, false,
     &NetworkFields::ipAddress},
    {SettingsField::IpMask, "mask", "subnet mask", kIpMaskOffset, kIpv4Size, FieldKind::Address, false,
     &NetworkFields::ipMask},
    {SettingsField::IpGateway, "gateway", "gateway", kIpGatewayOffset, kIpv4Size, FieldKind::Address, false,
     &NetworkFields::ipGateway},
    {SettingsField::IpPort, "port", "unit port", kIpPortOffset, kPortSize, FieldKind::Port, false,
     &NetworkFields::ipPort},
    {SettingsField::Dhcp, "dhcp", "DHCP flag", kDhcpOffset, 1, FieldKind::Flag, false, nullptr},
    {SettingsField::ServerAddress, "server", "server address", kServerAddressOffset, kServerAddressSize,
     FieldKind::Text, false, &NetworkFields::serverAddress},
    {SettingsField::ServerPort, "server_port", "server port", kServerPortOffset, kPortSize, FieldKind::Port, false,
     &NetworkFields::serverPort},
    {SettingsField::ApnName, "apn", "access point name", kApnNameOffset, kApnNameSize, FieldKind::Text, false,
     &NetworkFields::apnName},
    {SettingsField::ApnLogin, "login", "login", kApnLoginOffset, kApnLoginSize, FieldKind::Text, false,
     &NetworkFields::apnLogin},
    {SettingsField::ApnPassword, "password", "password", kApnPasswordOffset, kApnPasswordSize, FieldKind::Text, true,
     &NetworkFields::apnPassword},
    {SettingsField::AuthType, "auth", "authentication type", kAuthTypeOffset, 1, FieldKind::Choice, false, nullptr},
    {SettingsField::DialString, "dial string", "dial string", kDialStringOffset, kDialStringSize, FieldKind::Fixed,
     false, nullptr},
}};

// No two rows share a byte, and every row lies within the record.
static_assert([] {
  for (const FieldInfo& a : kFieldTable) {
    if (a.size == 0 || a.offset + a.size > kRecordSize) return false;
    for (const FieldInfo& b : kFieldTable)
      if (&a != &b && a.offset < b.offset + b.size && b.offset < a.offset + a.size) return false;
  }
  return true;
}());

// The fields a person names: all but the fixed dial string, which comes last.
inline constexpr size_t kNamedFieldCount = kFieldTable.size() - 1;

constexpr const FieldInfo& fieldInfo(SettingsField field) {
  for (const FieldInfo& info : kFieldTable)
    if (info.field == field) return info;
  return kFieldTable.back();
}

// What stands for a secret field's value wherever it would be shown.
inline constexpr std::string_view kHiddenValue = "***";

// The order in which the record encoder checks and writes the fields. The two ports come first:
// their conversion error is the one a Write has always stopped with, even when the address fields
// are still empty. The rest follows record order.
inline constexpr std::array<SettingsField, kFieldTable.size()> kEncodeOrder = [] {
  std::array<const FieldInfo*, kFieldTable.size()> rows{};
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = &kFieldTable[i];
  const auto before = [](const FieldInfo* a, const FieldInfo* b) {
    const bool portA = a->kind == FieldKind::Port, portB = b->kind == FieldKind::Port;
    return portA != portB ? portA : !portA && a->offset < b->offset;
  };
  for (size_t i = 1; i < rows.size(); ++i)  // a stable insertion sort: constexpr, and 12 rows
    for (size_t j = i; j > 0 && before(rows[j], rows[j - 1]); --j) std::swap(rows[j], rows[j - 1]);
  std::array<SettingsField, kFieldTable.size()> order{};
  for (size_t i = 0; i < rows.size(); ++i) order[i] = rows[i]->field;
  return order;
}();

}  // namespace netsetup
