#include "cli/FieldEdit.h"

#include <algorithm>
#include <utility>

#include "netblock/NetworkCodec.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

bool isAddress(SettingsField field) {
  return field == SettingsField::IpAddress || field == SettingsField::IpMask || field == SettingsField::IpGateway;
}

// The fields as stored, the addresses too while DHCP hides them from the window.
NetworkFields storedFields(const SettingsArea& area) {
  NetworkFields fields = decodeNetworkSettings(area);
  fields.ipAddress = decodeStoredAddress(area, SettingsField::IpAddress);
  fields.ipMask = decodeStoredAddress(area, SettingsField::IpMask);
  fields.ipGateway = decodeStoredAddress(area, SettingsField::IpGateway);
  return fields;
}

bool sameBytes(const SettingsArea& a, const SettingsArea& b, const FieldBytes& bytes) {
  return std::equal(a.begin() + bytes.offset, a.begin() + bytes.offset + bytes.size, b.begin() + bytes.offset);
}

}  // namespace

Result<FieldEdit> editNamedFields(const SettingsArea& read, const FieldOverlay& overlay) {
  FieldEdit edit;
  edit.area = read;
  NetworkFields wanted = decodeNetworkSettings(read);
  if (Result<void> applied = applyOverlay(wanted, overlay); !applied) return applied.failure();
  // Each name once, with its last value; "***" for the password takes back a value before it.
  std::vector<std::pair<std::string_view, std::string>> named;
  for (const auto& [name, value] : overlay) {
    const std::string_view canonical = *canonicalFieldName(name);
    std::erase_if(named, [&](const auto& n) { return n.first == canonical; });
    if (canonical != "password" || value != kHiddenPassword) named.emplace_back(canonical, value);
  }
  const auto typed = [&](std::string_view name) {
    return std::find_if(named.begin(), named.end(), [&](const auto& n) { return n.first == name; });
  };

  // In the encoder's order, so the first refusal is the one the window would give.
  for (SettingsField field : kEncodeOrder) {
    if (typed(nameOf(field)) == named.end()) continue;
    if (const Result<void, EncodeError> encoded = encodeField(wanted, field, edit.area); !encoded) {
      const EncodeError& refused = encoded.failure();
      return Failure{field == SettingsField::ApnPassword ? refused.concealedMessage() : refused.message()};
    }
  }

  const NetworkFields before = storedFields(read), after = storedFields(edit.area);
  for (std::string_view name : kFieldNames) {
    const bool changed = !sameBytes(read, edit.area, fieldBytes(settingsField(name)));
    if (changed) edit.changed.push_back(name);
    const auto given = typed(name);
    if (given == named.end()) continue;
    if (name == "password") {
      const std::string hidden(kHiddenPassword);
      edit.named.push_back({name, hidden, hidden, hidden, changed});
    } else {
      edit.named.push_back({name, given->second, fieldValue(before, name), fieldValue(after, name), changed});
    }
  }
  return edit;
}

std::vector<std::string> addressesStoredOtherwise(const FieldEdit& edit) {
  std::vector<std::string> lines;
  for (const NamedField& field : edit.named) {
    if (!isAddress(settingsField(field.name)) || field.typed == field.after) continue;
    lines.push_back(std::string(field.name) + ": " + visibleText(field.typed) + " is stored as " + field.after);
  }
  return lines;
}

std::string changeLine(const NamedField& field) {
  if (field.name == "password") return "password: would change (not shown)";
  return std::string(field.name) + ": " + visibleText(field.before) + " -> " + visibleText(field.after);
}

WrittenFields splitByConfirmed(const std::vector<std::string_view>& names, size_t confirmedBytes) {
  WrittenFields split;
  for (std::string_view name : names) {
    const FieldBytes bytes = fieldBytes(settingsField(name));
    (bytes.offset + bytes.size <= confirmedBytes ? split.written : split.notWritten).push_back(name);
  }
  return split;
}

}  // namespace netsetup::cli
