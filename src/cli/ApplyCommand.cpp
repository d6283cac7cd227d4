// apply: brings an instrument to the values named and writes only when one of them differs,
// so running it again changes nothing; --json gives configuration tools one object to read.
#include <sstream>

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FieldWrite.h"
#include "cli/Formats.h"
#include "netblock/NetworkCodec.h"

namespace netsetup::cli {

namespace {

// Builds one JSON object from keys and values already written as JSON.
class JsonObject {
 public:
  JsonObject& add(std::string_view key, const std::string& json) {
    text_.append(text_.empty() ? "" : ", ").append(jsonString(key)).append(": ").append(json);
    return *this;
  }
  std::string text() const { return "{" + text_ + "}"; }

 private:
  std::string text_;
};

std::string jsonBool(bool value) { return value ? "true" : "false"; }
std::string jsonText(const std::string& text) { return text.empty() ? "null" : jsonString(text); }

// The named fields before or after, as stored; the password as *** unless it is to be shown.
std::string namedFields(const FieldWrite& outcome, bool after, bool showPassword) {
  JsonObject fields;
  if (!outcome.edit) return fields.text();
  const SettingsArea& area = after ? outcome.edit->area : outcome.read;
  for (const NamedField& field : outcome.edit->named) {
    std::string value = after ? field.after : field.before;
    if (field.name == "password" && showPassword) value = fieldValue(decodeNetworkSettings(area), field.name);
    fields.add(field.name, jsonFieldValue(field.name, value));
  }
  return fields.text();
}

}  // namespace

std::string formatApplyJson(const FieldWrite& outcome, bool showPassword, int exit, const std::string& message) {
  const bool differs = outcome.edit && !outcome.edit->changed.empty();
  std::string names;
  if (outcome.edit) {
    for (std::string_view name : outcome.edit->changed) names.append(names.empty() ? "" : ", ").append(jsonString(name));
  }
  JsonObject instrument;
  instrument.add("type", jsonText(outcome.type))
      .add("address", outcome.target ? std::to_string(outcome.target->address) : "null")
      .add("link", outcome.target ? jsonString(outcome.target->description) : "null");
  JsonObject object;
  // After a failure only what may have reached the instrument counts as a change.
  object.add("changed", jsonBool(exit == kExitOk ? differs : outcome.sent))
      .add("fields", "[" + names + "]")
      .add("before", namedFields(outcome, false, showPassword))
      .add("after", namedFields(outcome, true, showPassword))
      .add("backup", jsonText(outcome.backupPath))
      .add("verified", jsonBool(outcome.verified))
      .add("instrument", instrument.text());
  if (exit != kExitOk) object.add("msg", jsonString(message)).add("rc", std::to_string(exit));
  return object.text() + "\n";
}

int runApply(const CliOptions& options, Tmod07& link, Io io) {
  FieldWrite outcome;
  if (!options.json) {
    if (const int exit = writeNamedFields(options, link, io, options.check, outcome)) return exit;
    const FieldEdit& edit = *outcome.edit;
    if (options.showDiff) {
      for (const NamedField& field : edit.named)
        if (field.changed) io.out << changeLine(field) << '\n';
    }
    if (!options.check || edit.changed.empty()) {
      printWritten(options, outcome, io.out);
      return kExitOk;
    }
    const Target& target = *outcome.target;
    io.out << "address " << int{target.address} << " on " << target.description << " would change in "
           << joinedNames(edit.changed) << "; nothing was written (--check)\n";
    return kExitOk;
  }
  // The object is all that goes to standard output; the complaints (and a trace) still go to
  // standard error, after the run, and the object carries the complaints as its message.
  std::ostringstream printed;
  const int exit = writeNamedFields(options, link, Io{io.err, printed}, options.check, outcome);
  io.err << printed.str();
  io.out << formatApplyJson(outcome, options.showPassword, exit, complaintsIn(printed.str()));
  return exit;
}

}  // namespace netsetup::cli
