#include "netblock/EncodeError.h"

#include <cstdio>

#include "text/Quote.h"
#include "text/Utf8.h"

namespace netsetup {
namespace {

// "U+2713 '✓'"; control characters by number and name, so the message stays printable.
std::string describeCharacter(char32_t cp) {
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(cp));
  std::string out = number;
  switch (cp) {
    case U'\0': return out + " (zero)";
    case U'\t': return out + " (tab)";
    case U'\n': return out + " (line feed)";
    case U'\r': return out + " (carriage return)";
    default: break;
  }
  const bool control = cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
  if (!control) {
    out += " '";
    appendUtf8(out, cp);
    out += "'";
  }
  return out;
}

}  // namespace

std::string_view fieldName(SettingsField field) {
  switch (field) {
    case SettingsField::IpAddress: return "IP address";
    case SettingsField::IpMask: return "subnet mask";
    case SettingsField::IpGateway: return "gateway";
    case SettingsField::IpPort: return "unit port";
    case SettingsField::ServerPort: return "server port";
    case SettingsField::ServerAddress: return "server address";
    case SettingsField::ApnName: return "access point name";
    case SettingsField::ApnLogin: return "login";
    case SettingsField::ApnPassword: return "password";
  }
  return "field";
}

std::string EncodeError::message() const {
  const std::string name(fieldName(field));
  const std::string quoted = quoteText(text);
  switch (kind) {
    case EncodeErrorKind::NotInteger:
      return quoted + " is not a valid integer value";
    case EncodeErrorKind::OutOfRange:
      return "The " + name + " " + quoted + " is outside " + std::to_string(minimum) + ".." +
             std::to_string(maximum);
    case EncodeErrorKind::BadAddress:
      if (text.empty()) return "The " + name + " is empty; with DHCP off it needs a dotted IPv4 address";
      return "The " + name + " " + quoted + " is not a dotted IPv4 address";
    case EncodeErrorKind::TooLong:
      return "The " + name + " " + quoted + " is " + std::to_string(length) +
             " characters long; the field holds at most " + std::to_string(capacity);
    case EncodeErrorKind::ControlCharacter:
      return "The " + name + " " + quoted + " holds the control character " +
             describeCharacter(character.value_or(U'\0')) + "; only printable characters can be stored";
    case EncodeErrorKind::Unencodable:
      if (!character) return "The " + name + " " + quoted + " is not valid UTF-8 text";
      return "The " + name + " " + quoted + " holds the character " + describeCharacter(*character) +
             ", which Windows-1251 cannot hold";
  }
  return "The " + name + " " + quoted + " cannot be stored";
}

}  // namespace netsetup
