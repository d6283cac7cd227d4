#include "cli/formats/FieldEdit.h"

#include <algorithm>
#include <utility>

#include "netblock/NetworkCodec.h"
#include "netblock/SettingsTransfer.h"
#include "text/Ipv4Text.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

bool sameBytes(const SettingsArea& a, const SettingsArea& b, const FieldInfo& bytes) {
  return std::equal(a.begin() + bytes.offset, a.begin() + bytes.offset + bytes.size, b.begin() + bytes.offset);
}

// The window reads many texts as addresses (10.1 is 10.0.0.1, a leading 0 means octal); a
// person typing them means another address, so only a.b.c.d in plain decimal is taken.
Result<void> checkAddress(SettingsField field, const std::string& text) {
  if (parseDottedQuad(text)) return {};
  const std::optional<Ipv4Octets> read = tryParseIpv4(text);
  return Failure{"The " + std::string(fieldInfo(field).messageName) + " " + quoteText(text) +
                 " is not four decimal numbers 0..255 without leading zeros (such as 192.168.0.10)" +
                 (read ? "; it would have been stored as " + formatIpv4(*read) : "; it is no address at all")};
}

// One named value as the encoder judges it, on fields that hold it.
Result<void> checkField(const NetworkFields& fields, SettingsField field, const std::string& text) {
  if (fieldInfo(field).kind == FieldKind::Address) return checkAddress(field, text);
  SettingsArea scratch{};
  const Result<void, EncodeError> encoded = encodeField(fields, field, scratch);
  if (encoded) return {};
  const EncodeError& refused = encoded.failure();
  // The window's words for a text that is no number name no field; the field's name is said first.
  const std::string named = refused.kind == EncodeErrorKind::NotInteger ? std::string(fieldInfo(field).name) + ": " : "";
  return Failure{named + refused.shownMessage()};
}

}  // namespace

Result<void> checkValues(const FieldOverlay& overlay) {
  for (const FieldValue& given : overlay) {
    // A secret given back as *** keeps the instrument's and is not a value to judge.
    if (isSecret(given.name) && given.value == kHiddenValue) continue;
    NetworkFields fields;
    if (Result<void> set = setField(fields, given.name, given.value); !set) {
      return Failure{originPrefix(given) + set.failure().text()};
    }
    const std::optional<std::string_view> name = canonicalFieldName(given.name);
    if (Result<void> checked = checkField(fields, settingsField(*name), given.value); !checked) {
      return Failure{originPrefix(given) + checked.failure().text()};
    }
  }
  return {};
}

std::vector<std::string_view> FieldEdit::namedNames() const {
  std::vector<std::string_view> names;
  for (const NamedField& field : named) names.push_back(field.name);
  return names;
}

Result<FieldEdit> editNamedFields(const SettingsArea& read, const FieldOverlay& overlay) {
  if (Result<void> checked = checkValues(overlay); !checked) return checked.failure();
  FieldEdit edit;
  edit.read = edit.area = read;
  NetworkFields wanted = decodeNetworkSettings(read);
  if (Result<void> applied = applyOverlay(wanted, overlay); !applied) return applied.failure();
  // Each name once, with its last value; "***" for the password takes back a value before it.
  std::vector<std::pair<std::string_view, std::string>> named;
  for (const FieldValue& given : overlay) {
    const std::string_view canonical = *canonicalFieldName(given.name);
    std::erase_if(named, [&](const auto& n) { return n.first == canonical; });
    if (!isSecret(canonical) || given.value != kHiddenValue) named.emplace_back(canonical, given.value);
  }
  const auto typed = [&](std::string_view name) {
    return std::find_if(named.begin(), named.end(), [&](const auto& n) { return n.first == name; });
  };

  for (SettingsField field : kEncodeOrder) {
    if (typed(fieldInfo(field).name) == named.end()) continue;
    if (const Result<void, EncodeError> encoded = encodeField(wanted, field, edit.area); !encoded) {
      const EncodeError& refused = encoded.failure();
      return Failure{refused.shownMessage()};
    }
  }

  const NetworkFields before = storedFields(read), after = storedFields(edit.area);
  for (std::string_view name : kFieldNames) {
    const bool changed = !sameBytes(read, edit.area, fieldInfo(settingsField(name)));
    if (changed) edit.changed.push_back(name);
    const auto given = typed(name);
    if (given == named.end()) continue;
    if (isSecret(name)) {
      const std::string hidden(kHiddenValue);
      edit.named.push_back({name, hidden, hidden, hidden, changed});
    } else {
      edit.named.push_back({name, given->second, fieldValue(before, name), fieldValue(after, name), changed});
    }
  }
  return edit;
}

FieldEdit wholeAreaEdit(const SettingsArea& read, const SettingsArea& wanted) {
  FieldEdit edit;
  edit.read = read;
  edit.area = read;
  std::copy_n(wanted.begin(), kWrittenAreaSize, edit.area.begin());
  const NetworkFields before = storedFields(read), after = storedFields(edit.area);
  const std::string hidden(kHiddenValue);
  for (std::string_view name : kFieldNames) {
    if (sameBytes(read, edit.area, fieldInfo(settingsField(name)))) continue;
    edit.changed.push_back(name);
    if (isSecret(name)) {
      edit.named.push_back({name, hidden, hidden, hidden, true});
    } else {
      edit.named.push_back({name, fieldValue(after, name), fieldValue(before, name), fieldValue(after, name), true});
    }
  }
  return edit;
}

std::vector<std::string> storedOtherwiseNotes(const FieldEdit& edit) {
  std::vector<std::string> lines;
  for (const NamedField& field : edit.named) {
    const bool number = namedField(field.name)->kind == FieldKind::Port;
    if (!number || field.typed == field.after) continue;
    lines.push_back(std::string(field.name) + ": " + visibleText(field.typed) + " is stored as " + field.after);
  }
  return lines;
}

std::string changeLine(const NamedField& field) {
  if (isSecret(field.name)) return std::string(field.name) + ": would change (not shown)";
  return std::string(field.name) + ": " + visibleText(field.before) + " -> " + visibleText(field.after);
}

}  // namespace netsetup::cli
