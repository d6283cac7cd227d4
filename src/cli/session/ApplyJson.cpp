#include "cli/session/ApplyJson.h"

#include "cli/formats/Formats.h"

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

template <class Names>
std::string jsonList(const Names& names) {
  std::string out;
  for (const auto& name : names) out.append(out.empty() ? "" : ", ").append(jsonString(name));
  return "[" + out + "]";
}

// The named fields' values in `area`, as stored; where `held` says a field is not known, null.
std::string fieldValues(const std::vector<std::string_view>& names, const SettingsArea& area, const HeldArea* held,
                        bool showPassword) {
  const NetworkFields fields = storedFields(area);
  JsonObject object;
  for (std::string_view name : names) {
    if (held && !held->known(settingsField(name))) {
      object.add(name, "null");
      continue;
    }
    const bool hidden = isSecret(name) && !showPassword;
    object.add(name, jsonFieldValue(name, hidden ? std::string(kHiddenValue) : fieldValue(fields, name)));
  }
  return object.text();
}

std::string instrumentObject(const std::optional<Target>& target, const std::string& type) {
  JsonObject instrument;
  instrument.add("type", jsonText(type))
      .add("address", target ? std::to_string(target->address) : "null")
      .add("link", target ? jsonString(target->description) : "null");
  return instrument.text();
}

}  // namespace

std::string formatReadJson(const std::optional<Target>& target, const std::string& type,
                           const std::optional<SettingsArea>& area, const CliFailure* failure, bool showPassword) {
  JsonObject object;
  object.add("instrument", instrumentObject(target, type));
  std::string fields = area ? formatFields(storedFields(*area), OutputFormat::Json, showPassword) : "{}";
  if (fields.ends_with('\n')) fields.pop_back();
  object.add("fields", fields);
  if (failure) object.add("msg", jsonString(failure->allLines())).add("rc", std::to_string(failure->exit));
  return object.text() + "\n";
}

std::string formatApplyJson(const ApplyState& state, bool showPassword) {
  const std::optional<WriteOutcome>& write = state.write;
  const std::optional<FieldEdit>& edit = state.edit;
  std::vector<std::string_view> named;
  if (write) named = write->named;
  else if (edit) named = edit->namedNames();

  std::string before = "{}", after = "{}";
  if (write) {
    before = fieldValues(named, write->before, nullptr, showPassword);
    after = fieldValues(named, write->held.bytes(), &write->held, showPassword);
  } else if (edit) {
    // Nothing was sent: the instrument holds what was read; --check shows what a write would store.
    before = fieldValues(named, edit->read, nullptr, showPassword);
    after = fieldValues(named, state.failure ? edit->read : edit->area, nullptr, showPassword);
  }
  const bool changed = write ? write->changed() : (!state.failure && edit && !edit->changed.empty());
  std::vector<std::string> fields;
  if (write) fields = write->toChange();
  else if (edit) fields.assign(edit->changed.begin(), edit->changed.end());

  JsonObject object;
  object.add("changed", jsonBool(changed))
      .add("fields", jsonList(fields))
      .add("before", before)
      .add("after", after)
      .add("unknown", jsonList(write ? write->fates().unknown : std::vector<std::string>{}))
      .add("backup", jsonText(write ? write->backupPath : ""))
      .add("verified", jsonBool(write && write->verified))
      .add("instrument", instrumentObject(state.target, state.type));
  if (state.failure) object.add("msg", jsonString(state.failure->allLines())).add("rc", std::to_string(state.failure->exit));
  return object.text() + "\n";
}

CliResult<int> answerAsApply(bool json, bool showPassword, std::ostream& out,
                             const std::function<CliResult<>(ApplyState&)>& run) {
  ApplyState state;
  const CliResult<> ran = run(state);
  if (!ran) state.failure = ran.failure();
  if (json) out << formatApplyJson(state, showPassword);
  if (!ran) return ran.failure();
  return kExitOk;
}

}  // namespace netsetup::cli
