#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/FieldNames.h"
#include "netblock/NetworkSettings.h"
#include "text/Result.h"

namespace netsetup::cli {

// What a sheet, --set or a worklist row asks of one instrument, worked out on the area just
// read before anything is sent. write, diff and batch share it, so they agree on what a write
// stores.

// One field that was named, in the form the instrument stores it: ports in decimal, addresses
// dotted even while DHCP is on. For the password every text is kHiddenPassword.
struct NamedField {
  std::string_view name;  // canonical
  std::string typed;      // the value given (the last, when given twice)
  std::string before, after;
  bool changed = false;  // its bytes differ
};

struct FieldEdit {
  SettingsArea area{};  // the area read with the named fields encoded, every other byte as read
  std::vector<std::string_view> changed;  // the fields whose bytes differ, in kFieldNames order
  std::vector<NamedField> named;          // in kFieldNames order
};

// Encodes the fields `overlay` names and no other: each named one is checked and encoded as the
// window's encoder does it (an address is judged by the named dhcp, else by the instrument's);
// one named nowhere is neither checked nor re-encoded. A password given as kHiddenPassword is
// not named. A refused value fails, in one line that quotes nothing of a password.
Result<FieldEdit> editNamedFields(const SettingsArea& read, const FieldOverlay& overlay);

// "ip: 010.0.0.8 is stored as 8.0.0.8": a line for each named address whose stored form is not
// the text typed (the parser's old forms, or an unparsable text with DHCP on).
std::vector<std::string> addressesStoredOtherwise(const FieldEdit& edit);

// "port: 10001 -> 10002", or for the password "password: would change (not shown)": how a
// field that changes is shown.
std::string changeLine(const NamedField& field);

// `names` split by whether a write that stopped after `confirmedBytes` stored them: a field is
// written when all its bytes lie in the confirmed chunks.
struct WrittenFields {
  std::vector<std::string_view> written, notWritten;
};
WrittenFields splitByConfirmed(const std::vector<std::string_view>& names, size_t confirmedBytes);

}  // namespace netsetup::cli
