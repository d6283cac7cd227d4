#include "cli/formats/FieldNames.h"

#include "netblock/NetworkCodec.h"
#include "text/AsciiCase.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr std::array<std::string_view, 4> kAuthWords{"none", "any", "pap", "chap"};
constexpr std::string_view kAuthUnset = "unset";

constexpr std::array<std::pair<std::string_view, SettingsField>, 12> kRecordFields{{
    {"ip", SettingsField::IpAddress},
    {"mask", SettingsField::IpMask},
    {"gateway", SettingsField::IpGateway},
    {"port", SettingsField::IpPort},
    {"dhcp", SettingsField::Dhcp},
    {"server", SettingsField::ServerAddress},
    {"server_port", SettingsField::ServerPort},
    {"apn", SettingsField::ApnName},
    {"login", SettingsField::ApnLogin},
    {"password", SettingsField::ApnPassword},
    {"auth", SettingsField::AuthType},
    {"dial string", SettingsField::DialString},
}};

static_assert([] {
  for (size_t i = 0; i < kFieldNames.size(); ++i)
    if (kRecordFields[i].first != kFieldNames[i]) return false;
  return true;
}(), "the record fields follow the field names");

// The text members, by name; dhcp and auth are not texts and are handled apart.
template <class Fields>
auto textField(Fields& f, std::string_view name) -> decltype(&f.ipAddress) {
  if (name == "ip") return &f.ipAddress;
  if (name == "mask") return &f.ipMask;
  if (name == "gateway") return &f.ipGateway;
  if (name == "port") return &f.ipPort;
  if (name == "server") return &f.serverAddress;
  if (name == "server_port") return &f.serverPort;
  if (name == "apn") return &f.apnName;
  if (name == "login") return &f.apnLogin;
  if (name == "password") return &f.apnPassword;
  return nullptr;
}

}  // namespace

SettingsField settingsField(std::string_view canonicalName) {
  for (const auto& [name, field] : kRecordFields)
    if (name == canonicalName) return field;
  return SettingsField::DialString;  // not a field name: the one field no name sets
}

std::string_view nameOf(SettingsField field) {
  for (const auto& [name, known] : kRecordFields)
    if (known == field) return name;
  return {};
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
  for (std::string_view known : kFieldNames)
    if (equalsIgnoringAsciiCase(name, known)) return known;
  return std::nullopt;
}

bool isFieldName(std::string_view name) { return canonicalFieldName(name).has_value(); }

std::string fieldValue(const NetworkFields& fields, std::string_view name) {
  const std::optional<std::string_view> canonical = canonicalFieldName(name);
  if (!canonical) return {};
  if (*canonical == "dhcp") return fields.dhcp ? "1" : "0";
  if (*canonical == "auth") {
    const int i = fields.authIndex;
    return std::string(i >= 0 && i < static_cast<int>(kAuthWords.size()) ? kAuthWords[i] : kAuthUnset);
  }
  return *textField(fields, *canonical);
}

NetworkFields storedFields(const SettingsArea& area) {
  NetworkFields fields = decodeNetworkSettings(area);
  fields.ipAddress = decodeStoredAddress(area, SettingsField::IpAddress);
  fields.ipMask = decodeStoredAddress(area, SettingsField::IpMask);
  fields.ipGateway = decodeStoredAddress(area, SettingsField::IpGateway);
  return fields;
}

std::string_view keptAddressNote(const NetworkFields& fields, std::string_view name) {
  const bool address = name == "ip" || name == "mask" || name == "gateway";
  return fields.dhcp && address ? "(kept while DHCP is on)" : "";
}

Result<void> setField(NetworkFields& fields, std::string_view name, std::string_view value) {
  const std::optional<std::string_view> canonical = canonicalFieldName(name);
  if (!canonical) return Failure{"unknown field " + quoteText(name) + "; the fields are " + fieldNameList()};
  if (*canonical == "dhcp") {
    // true and false as JSON and YAML write them, so a playbook's booleans need no translation.
    const bool on = value == "1" || value == "true", off = value == "0" || value == "false";
    if (!on && !off) return Failure{"dhcp must be 0 or 1 (or true or false), not " + quoteText(value)};
    fields.dhcp = on;
    return {};
  }
  if (*canonical == "auth") {
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
  *textField(fields, *canonical) = std::string(value);
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
