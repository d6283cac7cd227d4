#pragma once
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace netsetup {

// The window speaks Russian, netsetup-cli English; what the link says about a port or a
// connection exists in both, from one catalogue, so the two never drift.
enum class Language { English, Russian };

enum class LinkText {
  NoPortChosen,
  PortMissing,         // {1} the COM port
  NoComPortAtAll,
  ComPortsPresent,
  PortHeld,            // {1} the port, {2} the system's reason
  DeviceHeld,          // {1} the device; the programs holding it and CloseAndRetry follow
  CloseAndRetry,
  LineSettingsRefused,  // {1} the port, {2} the system's reason
  NotASerialPort,      // {1} the device, {2} the system's reason
  CannotOpen,          // {1} the port or device, {2} the system's reason
  DeviceMissing,       // {1} the device, {2} the system's reason
  NoDevicePresent,
  DevicesPresent,
  ChooseOrMap,         // {1} a device present
  MayNotOpen,          // {1} the user, {2} the device
  GroupJoinedLater,    // {1} the group
  GroupToJoin,         // {1} the group, {2} the user
  OwnerForbids,        // {1} the owner's number, {2} the group
  NoTcpHost,
  TcpHostNotDotted,    // {1} the host as given
  SocketLibrary,
  TcpTimedOut,         // {1} address:port
  TcpRefused,          // {1} address:port
  TcpUnreachable,      // {1} the address, {2} the system's reason
  TcpOther,            // {1} address:port, {2} the system's reason
  Present,             // {1} the port or device
  NotPresent,          // {1} the port or device
  LatencyTimer,        // {1} milliseconds
  LatencyAdvice,
};

// The text in `language`, each {N} replaced by the N-th of `values`.
std::string linkText(Language language, LinkText text, std::initializer_list<std::string_view> values = {});

// Both languages' texts, for a caller to pick from.
struct Bilingual {
  std::string english, russian;
  const std::string& in(Language language) const { return language == Language::Russian ? russian : english; }
  bool empty() const { return english.empty(); }
};

// `say(language)` in both.
template <class Say>
Bilingual inBoth(const Say& say) {
  return {say(Language::English), say(Language::Russian)};
}

// The catalogue's rows, for the check that each text has both languages with the same values.
struct LinkTextRow {
  LinkText text;
  std::string_view english, russian;
};
std::span<const LinkTextRow> linkTextRows();

}  // namespace netsetup
