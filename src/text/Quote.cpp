#include "text/Quote.h"

#include <cstdint>

#include "text/Hex.h"
#include "text/Utf8.h"

namespace netsetup {

namespace {

void appendHex(std::string& out, uint8_t byte) { out += "\\x" + hexDigits(byte, 2); }

void appendVisible(std::string& out, char c) {
  const auto byte = static_cast<uint8_t>(c);
  if (byte >= 0x20 && byte != 0x7F) {
    out += c;
  } else if (c == '\n') {
    out += "\\n";
  } else if (c == '\r') {
    out += "\\r";
  } else if (c == '\t') {
    out += "\\t";
  } else {
    appendHex(out, byte);
  }
}

// The quote of `utf8` and how many characters it holds, the quote cut after kQuoteLimit of them.
std::string quoteBeginning(std::string_view utf8, size_t& characters) {
  characters = countUtf8Characters(utf8);
  std::string out = "'";
  size_t kept = 0;
  for (char c : utf8) {
    const bool startsCharacter = (static_cast<uint8_t>(c) & 0xC0) != 0x80;
    if (startsCharacter && characters > kQuoteLimit && kept++ == kQuoteLimit) break;
    appendVisible(out, c);
  }
  return out + (characters > kQuoteLimit ? "\u2026'" : "'");
}

}  // namespace

std::string visibleText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) appendVisible(out, c);
  return out;
}

std::string visibleBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') out += c;
    else appendHex(out, byte);
  }
  return out;
}

std::string quoteText(std::string_view utf8) {
  size_t characters = 0;
  const std::string quoted = quoteBeginning(utf8, characters);
  if (characters <= kQuoteLimit) return quoted;
  return quoted + " (" + std::to_string(characters) + " characters)";
}

std::string quoteTextWithoutLength(std::string_view utf8) {
  size_t characters = 0;
  return quoteBeginning(utf8, characters);
}

}  // namespace netsetup
