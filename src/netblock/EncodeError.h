#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "netblock/NetworkSettings.h"

namespace netsetup {

enum class EncodeErrorKind {
  NotInteger,   // a port text is not an integer by the integer-text rule
  OutOfRange,   // a port outside 0..65535
  BadAddress,   // an address text that does not parse while DHCP is off
  TooLong,      // a text needing more Windows-1251 bytes than its field has
  Unencodable,  // a text holding a character Windows-1251 cannot hold, or not valid UTF-8
  ControlCharacter  // a text holding a control character (below U+0020, or U+007F)
};

struct EncodeError {
  EncodeErrorKind kind;
  SettingsField field;
  std::string text;  // the offending text exactly as typed

  int32_t minimum = 0, maximum = 0;  // OutOfRange: the allowed range
  size_t length = 0, capacity = 0;   // TooLong: bytes the text needs, bytes the field holds
  // Unencodable: the first character without a byte; empty when the text is not valid UTF-8.
  // ControlCharacter: the first control character.
  std::optional<char32_t> character = std::nullopt;

  // Plain English, naming the field and quoting the text (a long one only by its beginning).
  // NotInteger gives the conversion error "'<text>' is not a valid integer value".
  std::string message() const;
  // The same with '***' for the text and without the offending character: for a secret such
  // as the password, whose refusal may reach a shared screen or a report.
  std::string concealedMessage() const;
  // message(), or concealedMessage() for a field kept secret.
  std::string shownMessage() const;
};

}  // namespace netsetup
