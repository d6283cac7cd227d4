#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "netblock/FieldInfo.h"
#include "text/Result.h"

namespace netsetup::cli {

// The names by which every part of the tool (options, sheets, worklists, output) calls the
// fields, in the order they are shown.
inline constexpr std::array<std::string_view, kNamedFieldCount> kFieldNames = [] {
  std::array<std::string_view, kNamedFieldCount> names{};
  for (size_t i = 0; i < names.size(); ++i) names[i] = kFieldTable[i].name;
  return names;
}();

// The row of a name (any case), or nullptr for a name the tool does not know.
const FieldInfo* namedField(std::string_view name);

// The record field a canonical name (one of kFieldNames) stands for.
SettingsField settingsField(std::string_view canonicalName);

// Whether the named field is kept secret: shown as kHiddenValue, which given back keeps the
// instrument's value.
bool isSecret(std::string_view name);

// "ip, mask, ..., auth": for messages that list the names.
std::string fieldNameList();

// Names joined for a message or a report cell: "ip, server".
std::string joinedNames(const std::vector<std::string_view>& names, std::string_view separator = ", ");

// The canonical (lower-case) name a text stands for, matched without regard to ASCII case.
std::optional<std::string_view> canonicalFieldName(std::string_view name);
bool isFieldName(std::string_view name);  // any case

// A field as text: texts and addresses as held, ports as typed, dhcp "0"/"1", auth
// "none"/"any"/"pap"/"chap", or "unset" for any other index. Empty for an unknown name.
std::string fieldValue(const NetworkFields& fields, std::string_view name);

// The fields as the instrument stores them: as the window shows them, and the three addresses
// too while DHCP is on (the window leaves them empty; the instrument keeps them for when it is off).
NetworkFields storedFields(const SettingsArea& area);

// The addresses an instrument keeps unused while DHCP is on: ip, mask and gateway when
// `fields.dhcp`; the note to show beside such a value, else empty.
std::string_view keptAddressNote(const NetworkFields& fields, std::string_view name);

// Stores `value` into the named field. Refuses only an unknown name, a dhcp other than 0/1 and
// an unknown auth word; other texts are kept as given, for the record encoder to judge.
Result<void> setField(NetworkFields& fields, std::string_view name, std::string_view value);

// One value given for a field, and where it was given, for a refusal to name: empty for the
// command line, "district.ini line 3", "work.csv line 4, column port".
struct FieldValue {
  std::string name;  // canonical
  std::string value;
  std::string origin = {};

  bool operator==(const FieldValue&) const = default;
};

// Values to apply in order over what the instrument holds; a later one for a field wins.
using FieldOverlay = std::vector<FieldValue>;

// "district.ini line 3: " before a refusal, nothing for the command line.
std::string originPrefix(const FieldValue& value);

// Applies every pair in order; the first refusal fails it and leaves `fields` as it was.
Result<void> applyOverlay(NetworkFields& fields, const FieldOverlay& overlay);

// Names of the fields whose texts (as fieldValue gives them) differ, in kFieldNames order.
std::vector<std::string_view> differingFields(const NetworkFields& a, const NetworkFields& b);

}  // namespace netsetup::cli
