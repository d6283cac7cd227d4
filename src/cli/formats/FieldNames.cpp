#include "cli/formats/FieldNames.h"

#include "netblock/NetworkCodec.h"
#include "text/AsciiCase.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr std::array<std::string_view, 4> kAuthWords{"none", "any", "pap", "chap"};
constexpr std::string_view kAuthUnset = "unset";

}  // namespace

const FieldInfo* namedField(std::string_view name) {
  for (size_t i = 0; i < kNamedFieldCount; ++i)
    if (equalsIgnoringAsciiCase(name, kFieldTable[i].name)) return &kFieldTable[i];
  return nullptr;
}

SettingsField settingsField(std::string_view canonicalName) {
  const FieldInfo* info = namedField(canonicalName);
  return info ? info->field : SettingsField::DialString;  // not a field name: the one field no name sets
}

bool isSecret(std::string_view name) {
  const FieldInfo* info = namedField(name);
  return info && info->secret;
}

std::string fieldNameList() { return joinedNames({kFieldNames.begin(), kFieldNames.end()}); }

std::string joinedNames(const std::vector<std::string_view>& names, std::string_view separator) {
  std::string out;
  for (std::string_view name : names) {
    if (!out.empty()) out += separator;
    out += name;
  }
  return out;
}

std::optional<std::string_view> canonicalFieldName(std::string_view name) {
  const FieldInfo* info = namedField(name);
  if (!info) return std::nullopt;
  return info->name;
}

bool isFieldName(std::string_view name) { return canonicalFieldName(name).has_value(); }

std::string fieldValue(const NetworkFields& fields, std::string_view name) {
  const FieldInfo* info = namedField(name);
  if (!info) return {};
  if (info->kind == FieldKind::Flag) return fields.dhcp ? "1" : "0";
  if (info->kind == FieldKind::Choice) {
    const int i = fields.authIndex;
    return std::string(i >= 0 && i < static_cast<int>(kAuthWords.size()) ? kAuthWords[i] : kAuthUnset);
  }
  return fields.*info->text;
}

NetworkFields storedFields(const SettingsArea& area) {
  NetworkFields fields = decodeNetworkSettings(area);
  for (const FieldInfo& info : kFieldTable)
    if (info.kind == FieldKind::Address) fields.*info.text = decodeStoredAddress(area, info.field);
  return fields;
}

std::string_view keptAddressNote(const NetworkFields& fields, std::string_view name) {
  const FieldInfo* info = namedField(name);
  const bool address = info && info->kind == FieldKind::Address;
  return fields.dhcp && address ? "(kept while DHCP is on)" : "";
}

Result<void> setField(NetworkFields& fields, std::string_view name, std::string_view value) {
  const FieldInfo* info = namedField(name);
  if (!info) return Failure{"unknown field " + quoteText(name) + "; the fields are " + fieldNameList()};
  if (info->kind == FieldKind::Flag) {
    // true and false as JSON and YAML write them, so a playbook's booleans need no translation.
    const bool on = value == "1" || value == "true", off = value == "0" || value == "false";
    if (!on && !off) return Failure{"dhcp must be 0 or 1 (or true or false), not " + quoteText(value)};
    fields.dhcp = on;
    return {};
  }
  if (info->kind == FieldKind::Choice) {
    if (equalsIgnoringAsciiCase(value, kAuthUnset)) {
      fields.authIndex = -1;
      return {};
    }
    for (size_t i = 0; i < kAuthWords.size(); ++i) {
      if (equalsIgnoringAsciiCase(value, kAuthWords[i])) {
        fields.authIndex = static_cast<int>(i);
        return {};
      }
    }
    return Failure{"auth must be none, any, pap, chap or unset, not " + quoteText(value)};
  }
  fields.*info->text = std::string(value);
  return {};
}

std::string originPrefix(const FieldValue& value) { return value.origin.empty() ? "" : value.origin + ": "; }

Result<void> applyOverlay(NetworkFields& fields, const FieldOverlay& overlay) {
  NetworkFields changed = fields;  // a refused overlay leaves nothing half applied
  for (const FieldValue& given : overlay) {
    if (Result<void> set = setField(changed, given.name, given.value); !set) {
      return Failure{originPrefix(given) + set.failure().message};
    }
  }
  fields = std::move(changed);
  return {};
}

std::vector<std::string_view> differingFields(const NetworkFields& a, const NetworkFields& b) {
  std::vector<std::string_view> names;
  for (std::string_view name : kFieldNames)
    if (fieldValue(a, name) != fieldValue(b, name)) names.push_back(name);
  return names;
}

}  // namespace netsetup::cli
