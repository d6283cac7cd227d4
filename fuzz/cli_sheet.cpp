// Settings sheets (netsetup-cli write SHEET, diff SHEET): any text a person may hand in, and the
// sheets `read --format ini` prints for any field values.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <set>
#include <string>

#include "FuzzCheck.h"
#include "cli/formats/FieldNames.h"
#include "cli/formats/Formats.h"
#include "cli/formats/Sheet.h"
#include "config/IniFile.h"
#include "text/Utf8.h"

using namespace netsetup;
using namespace netsetup::cli;

namespace {

void checkAnySheet(std::string_view text) {
  const Result<FieldOverlay> sheet = parseSheet(text);
  if (!sheet) {
    FUZZ_CHECK(!fuzz::hasControlByte(sheet.failure().text()), "a sheet's error is one clean line");
    return;
  }
  std::set<std::string> names;
  for (const auto& [name, value, origin] : *sheet) {
    FUZZ_CHECK(canonicalFieldName(name) == std::string_view(name), "a sheet's names are canonical");
    FUZZ_CHECK(names.insert(name).second, "a sheet sets no field twice");
    FUZZ_CHECK(value.size() <= ini::kMaxValueLength, "a sheet's value is at most a read's length");
    FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos, "a sheet's value is one line");
  }
  // Whatever a sheet sets, the sheet printed from the result sets the same again.
  NetworkFields fields;
  if (!applyOverlay(fields, *sheet)) return;
  const Result<FieldOverlay> again = parseSheet(formatSheet(fields, true));
  FUZZ_CHECK(again.ok(), "a printed sheet is accepted");
  for (const auto& [name, value, origin] : *sheet) {
    bool found = false;
    for (const auto& [n, v, where] : *again) {
      if (n != name) continue;
      found = true;
      FUZZ_CHECK_EQ(v, fieldValue(fields, name), "a printed sheet sets each value as it was applied");
    }
    FUZZ_CHECK(found, "a printed sheet sets every field the first one set");
  }
}

// One JSON string literal at text[pos] (pos at its opening quote), decoded; nullopt when it is
// not one. Only what jsonString may write is understood: \" \\ and \u escapes.
std::optional<std::string> readJsonString(std::string_view text, size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string out;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (fuzz::isControlByte(c)) return std::nullopt;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++pos >= text.size()) return std::nullopt;
    if (text[pos] == '"' || text[pos] == '\\') {
      out += text[pos];
    } else if (text[pos] == 'n' || text[pos] == 't') {
      out += text[pos] == 'n' ? '\n' : '\t';
    } else if (text[pos] == 'u' && pos + 4 < text.size()) {
      appendUtf8(out, static_cast<char32_t>(std::stoul(std::string(text.substr(pos + 1, 4)), nullptr, 16)));
      pos += 4;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

// What `read` prints: a table of one line per field, and JSON whose strings decode to the
// values (a byte that is not UTF-8 as U+FFFD).
void checkReadOutput(const NetworkFields& fields) {
  const std::string table = formatFields(fields, OutputFormat::Table, true);
  FUZZ_CHECK(std::count(table.begin(), table.end(), '\n') == static_cast<long>(kFieldNames.size()) &&
                 table.back() == '\n',
             "the table has one line per field");
  FUZZ_CHECK(std::all_of(table.begin(), table.end(), [](char c) { return c == '\n' || !fuzz::isControlByte(c); }),
             "the table's lines hold no control character");

  const std::string json = formatFields(fields, OutputFormat::Json, true);
  size_t pos = 1;
  FUZZ_CHECK(json.starts_with('{') && json.ends_with("}\n"), "JSON is one object on one line");
  for (std::string_view name : kFieldNames) {
    const std::optional<std::string> key = readJsonString(json, pos);
    FUZZ_CHECK(key == std::string(name), "JSON keys are the field names in order");
    FUZZ_CHECK(json.compare(pos, 2, ": ") == 0, "a key is followed by its value");
    pos += 2;
    const std::string value = fieldValue(fields, name);
    std::string expected;
    for (size_t at = 0; at < value.size();) {
      const size_t start = at;
      if (readUtf8(value, at)) {
        expected.append(value, start, at - start);
      } else {
        appendUtf8(expected, 0xFFFD);
        ++at;
      }
    }
    if (json[pos] == '"') {
      FUZZ_CHECK(readJsonString(json, pos) == expected, "a JSON string decodes to the field's text");
    } else {
      const size_t end = json.find_first_of(",}", pos);
      FUZZ_CHECK(name == "port" || name == "server_port" || name == "dhcp", "only numeric fields are bare");
      FUZZ_CHECK_EQ(json.substr(pos, end - pos), value, "a bare number is the field's text");
      pos = end;
    }
    if (name != kFieldNames.back()) {
      FUZZ_CHECK(json.compare(pos, 2, ", ") == 0, "fields are separated by commas");
      pos += 2;
    }
  }
  FUZZ_CHECK(json.compare(pos, std::string::npos, "}\n") == 0, "nothing follows the last field");
}

// A sheet printed for any fields gives those fields back, except what it says it leaves out.
void checkPrintedSheet(FuzzedDataProvider& in) {
  NetworkFields fields;
  fields.dhcp = in.ConsumeBool();
  fields.authIndex = in.ConsumeIntegralInRange(-2, 5);
  for (std::string* text : {&fields.ipAddress, &fields.ipMask, &fields.ipGateway, &fields.ipPort,
                            &fields.serverAddress, &fields.serverPort, &fields.apnName, &fields.apnLogin,
                            &fields.apnPassword}) {
    *text = in.ConsumeRandomLengthString(in.ConsumeBool() ? 48 : 2100);
  }
  checkReadOutput(fields);
  for (const bool showPassword : {true, false}) {
    const Result<FieldOverlay> parsed = parseSheet(formatSheet(fields, showPassword));
    FUZZ_CHECK_EQ(parsed ? std::string() : parsed.failure().text(), std::string(), "a printed sheet is accepted");
    const FieldOverlay& sheet = *parsed;
    FieldOverlay expected;
    for (std::string_view name : kFieldNames) {
      const std::string value = fieldValue(fields, name);
      const bool hidden = name == "password" && !showPassword;
      const bool unreadable = value.find_first_of("\r\n") != std::string::npos || !fitsSheetLine(name, value);
      if (!hidden && !unreadable) expected.push_back({std::string(name), value});
    }
    FUZZ_CHECK(sheet.size() == expected.size(), "a printed sheet sets every field it can hold");
    for (size_t i = 0; i < expected.size(); ++i) {
      FUZZ_CHECK_EQ(sheet[i].name, expected[i].name, "a printed sheet keeps the field order");
      FUZZ_CHECK_EQ(sheet[i].value, expected[i].value, "a printed sheet's value reads back exactly");
    }
    NetworkFields applied = fields;
    FUZZ_CHECK(applyOverlay(applied, sheet).ok(), "a printed sheet applies");
    FUZZ_CHECK(differingFields(applied, fields).empty(), "applying a printed sheet changes nothing");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  checkAnySheet(fuzz::bytesOf(data, size));
  FuzzedDataProvider in(data, size);
  checkPrintedSheet(in);
  return 0;
}
