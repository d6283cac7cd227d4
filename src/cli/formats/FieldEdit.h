#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/formats/FieldNames.h"
#include "netblock/NetworkSettings.h"
#include "text/Result.h"

namespace netsetup::cli {

// What a sheet, --set or a worklist row asks of one instrument, worked out on the area just
// read before anything is sent. write, apply, diff and batch share it, so they agree on what a
// write stores.

// Every value given, judged before any instrument is touched, in the order given: a known
// name, a dhcp and auth word, and what the window's encoder would refuse (a port outside
// 0..65535, a text too long for its field...). An address must be four decimal numbers 0..255
// without leading zeros, whatever DHCP says: the other forms the window reads its own way (10.1
// is 10.0.0.1) are refused, saying how they would have been read. A refusal is one line naming
// the field and where the value was given, and quotes nothing of a password.
Result<void> checkValues(const FieldOverlay& overlay);

// One field that was named, in the form the instrument stores it: ports in decimal, addresses
// dotted even while DHCP is on. For a secret field every text is kHiddenValue.
struct NamedField {
  std::string_view name;  // canonical
  std::string typed;      // the value given (the last, when given twice)
  std::string before, after;
  bool changed = false;  // its bytes differ
};

struct FieldEdit {
  SettingsArea read{};  // the area as read
  SettingsArea area{};  // the area read with the named fields encoded, every other byte as read
  std::vector<std::string_view> changed;  // the fields whose bytes differ, in kFieldNames order
  std::vector<NamedField> named;          // in kFieldNames order
  // The names of `named`, for a write's outcome.
  std::vector<std::string_view> namedNames() const;
};

// Encodes the fields `overlay` names and no other, each as the window's encoder does it; one
// named nowhere is neither checked nor re-encoded. A secret given as kHiddenValue is not
// named. Fails as checkValues does.
Result<FieldEdit> editNamedFields(const SettingsArea& read, const FieldOverlay& overlay);

// What writing the whole of `wanted` (bytes 0..194) over `read` changes, field by field, as
// restore writes a backup: every field whose bytes differ is named.
FieldEdit wholeAreaEdit(const SettingsArea& read, const SettingsArea& wanted);

// "server_port: $2328 is stored as 9000": a line for each named number whose stored form is not
// the text given.
std::vector<std::string> storedOtherwiseNotes(const FieldEdit& edit);

// "port: 10001 -> 10002", or for the password "password: would change (not shown)": how a
// field that changes is shown.
std::string changeLine(const NamedField& field);

}  // namespace netsetup::cli
