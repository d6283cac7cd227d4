#include "netblock/EncodeError.h"

#include <cstdio>

#include "netblock/FieldInfo.h"
#include "text/IntegerText.h"
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

namespace {

// The refusal in words; with `conceal`, the text shows as '***' and the character at fault is
// not named, so nothing of it goes into the message.
std::string describe(const EncodeError& e, bool conceal) {
  const std::string name = "The " + std::string(fieldInfo(e.field).messageName);
  const std::string concealed = "'" + std::string(kHiddenValue) + "'";
  const std::string quoted = conceal ? concealed : quoteText(e.text);
  const std::string_view shown = conceal ? kHiddenValue : std::string_view(e.text);
  switch (e.kind) {
    case EncodeErrorKind::NotInteger:
      return notAnIntegerText(shown);
    case EncodeErrorKind::OutOfRange:
      return outsideRangeText(name, shown, e.minimum, e.maximum);
    case EncodeErrorKind::BadAddress:
      if (e.text.empty()) return name + " is empty; with DHCP off it needs a dotted IPv4 address";
      return name + " " + quoted + " is not a dotted IPv4 address";
    case EncodeErrorKind::TooLong: {
      // The length is said once: here a long text's quote leaves its own count out.
      const std::string cut = conceal ? concealed : quoteTextWithoutLength(e.text);
      return name + " " + cut + " is " + std::to_string(e.length) + " characters long; the field holds at most " +
             std::to_string(e.capacity);
    }
    case EncodeErrorKind::ControlCharacter: {
      const std::string which =
          conceal ? "a control character" : "the control character " + describeCharacter(e.character.value_or(U'\0'));
      return name + " " + quoted + " holds " + which + "; only printable characters can be stored";
    }
    case EncodeErrorKind::Unencodable:
      if (!e.character) return name + " " + quoted + " is not valid UTF-8 text";
      if (conceal) return name + " " + quoted + " holds a character that Windows-1251 cannot hold";
      return name + " " + quoted + " holds the character " + describeCharacter(*e.character) +
             ", which Windows-1251 cannot hold";
  }
  return name + " " + quoted + " cannot be stored";
}

}  // namespace

std::string EncodeError::message() const { return describe(*this, false); }

std::string EncodeError::concealedMessage() const { return describe(*this, true); }

std::string EncodeError::shownMessage() const { return describe(*this, fieldInfo(field).secret); }

}  // namespace netsetup
