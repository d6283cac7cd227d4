#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "cli/formats/Sheet.h"
#include "netblock/NetworkSettings.h"

namespace netsetup::cli {

enum class OutputFormat { Table, Json, Ini };

// "table", "json" or "ini", in any case.
std::optional<OutputFormat> parseFormat(std::string_view text);

// The fields as `read` prints them (give them as stored: storedFields), every line ending in "\n":
//   Table: "name<padding>value" lines; control characters spelled out so a line stays a line;
//          an address kept while DHCP is on says so after its value;
//   Json:  one object, keys in kFieldNames order, port/server_port/dhcp as numbers when they
//          are plain decimal numbers;
//   Ini:   the settings sheet (formatSheet).
// Without `showPassword` the password shows as ***.
std::string formatFields(const NetworkFields& fields, OutputFormat format, bool showPassword);

// A field's value as the JSON of read gives it: port, server_port and dhcp as numbers when they
// are plain decimal numbers, everything else as a string.
std::string jsonFieldValue(std::string_view name, const std::string& value);

// `text` as a JSON string literal, quotes included. Bytes that are not UTF-8 become U+FFFD, so
// the output is always valid JSON.
std::string jsonString(std::string_view text);

}  // namespace netsetup::cli
