#include "cli/formats/Formats.h"

#include <algorithm>
#include <cstdint>

#include "cli/formats/FieldNames.h"
#include "text/AsciiCase.h"
#include "text/Hex.h"
#include "text/Quote.h"
#include "text/Utf8.h"

namespace netsetup::cli {

namespace {

std::string shownValue(const NetworkFields& fields, std::string_view name, bool showPassword) {
  if (isSecret(name) && !showPassword) return std::string(kHiddenValue);
  return fieldValue(fields, name);
}

// JSON has no leading zeros and no sign here; anything else stays a string so no reader
// turns "0080" into 80 or chokes on it.
bool isJsonNumber(std::string_view v) {
  if (v.empty() || v.size() > 9) return false;
  if (v.size() > 1 && v.front() == '0') return false;
  return std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isNumberField(std::string_view name) {
  const FieldInfo* info = namedField(name);
  return info && (info->kind == FieldKind::Port || info->kind == FieldKind::Flag);
}

std::string formatTable(const NetworkFields& fields, bool showPassword) {
  size_t width = 0;
  for (std::string_view name : kFieldNames) width = std::max(width, name.size());
  width += 2;
  std::string out;
  for (std::string_view name : kFieldNames) {
    out.append(name).append(width - name.size(), ' ');
    out.append(visibleText(shownValue(fields, name, showPassword)));
    if (const std::string_view note = keptAddressNote(fields, name); !note.empty()) out.append("  ").append(note);
    out.append("\n");
  }
  return out;
}

std::string formatJson(const NetworkFields& fields, bool showPassword) {
  std::string out = "{";
  const char* separator = "";
  for (std::string_view name : kFieldNames) {
    const std::string value = shownValue(fields, name, showPassword);
    out.append(separator).append(jsonString(name)).append(": ");
    out.append(jsonFieldValue(name, value));
    separator = ", ";
  }
  return out + "}\n";
}

}  // namespace

std::optional<OutputFormat> parseFormat(std::string_view text) {
  const std::string lower = lowerAscii(text);
  if (lower == "table") return OutputFormat::Table;
  if (lower == "json") return OutputFormat::Json;
  if (lower == "ini") return OutputFormat::Ini;
  return std::nullopt;
}

std::string jsonFieldValue(std::string_view name, const std::string& value) {
  return isNumberField(name) && isJsonNumber(value) ? value : jsonString(value);
}

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<uint8_t>(text[pos]);
    if (byte >= 0x80) {
      const size_t start = pos;
      if (readUtf8(text, pos)) {
        out.append(text.substr(start, pos - start));
      } else {
        out += "\\ufffd";
        ++pos;
      }
      continue;
    }
    ++pos;
    if (byte == '"') {
      out += "\\\"";
    } else if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out.append("\\u00").append(hexDigits(byte, 2));
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out + "\"";
}

std::string formatFields(const NetworkFields& fields, OutputFormat format, bool showPassword) {
  switch (format) {
    case OutputFormat::Table: return formatTable(fields, showPassword);
    case OutputFormat::Json: return formatJson(fields, showPassword);
    case OutputFormat::Ini: return formatSheet(fields, showPassword);
  }
  return {};
}

}  // namespace netsetup::cli
