#include "cli/formats/WriteLog.h"

#include "cli/formats/Formats.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

std::string jsonText(const std::string& text) { return text.empty() ? "null" : jsonString(text); }

}  // namespace

std::string formatWriteRecord(const WriteRecord& r) {
  std::string changes;
  for (const WriteRecord::Change& change : r.changes) {
    changes += (changes.empty() ? "" : ", ") + jsonString(change.field) + ": {\"before\": " + jsonString(change.before) +
               ", \"after\": " + (change.after ? jsonString(*change.after) : "null") + "}";
  }
  return "{\"time\": " + jsonString(r.time) + ", \"user\": " + jsonString(r.user) + ", \"computer\": " +
         jsonString(r.computer) + ", \"command\": " + jsonString(r.command) + ", \"name\": " + jsonText(r.name) +
         ", \"link\": " + jsonString(r.link) + ", \"address\": " + std::to_string(r.address) + ", \"type\": " +
         jsonText(r.type) + ", \"outcome\": " + jsonString(r.outcome) + ", \"exit\": " + std::to_string(r.exit) +
         ", \"changes\": {" + changes + "}, \"confirmed\": " + std::to_string(r.confirmed) +
         ", \"verified\": " + (r.verified ? "true" : "false") + ", \"backup\": " + jsonText(r.backup) + "}\n";
}

Result<WriteRecord> parseWriteRecord(std::string_view line) {
  const Result<JsonValue> parsed = parseJson(line);
  if (!parsed) return parsed.failure();
  const JsonValue& v = *parsed;
  if (v.kind != JsonValue::Kind::Object || v.textOf("time").empty()) return Failure{"not a record of a write"};
  WriteRecord r;
  r.time = v.textOf("time"), r.user = v.textOf("user"), r.computer = v.textOf("computer");
  r.command = v.textOf("command"), r.name = v.textOf("name"), r.link = v.textOf("link");
  r.type = v.textOf("type"), r.outcome = v.textOf("outcome"), r.backup = v.textOf("backup");
  r.address = std::atoi(v.textOf("address").c_str());
  r.exit = std::atoi(v.textOf("exit").c_str());
  r.confirmed = static_cast<size_t>(std::atol(v.textOf("confirmed").c_str()));
  const JsonValue* verified = v.find("verified");
  r.verified = verified && verified->boolean;
  if (const JsonValue* changes = v.find("changes")) {
    for (const auto& [field, change] : changes->members) {
      const JsonValue* after = change.find("after");
      r.changes.push_back({field, change.textOf("before"),
                           after && after->kind == JsonValue::Kind::String ? std::optional(after->text) : std::nullopt});
    }
  }
  return r;
}

std::string formatLogTable(const std::vector<WriteRecord>& records) {
  std::string out;
  for (const WriteRecord& r : records) {
    std::string changes;
    for (const WriteRecord::Change& change : r.changes) {
      changes += (changes.empty() ? "" : ", ") + change.field + " " + visibleText(change.before) + " -> " +
                 (change.after ? visibleText(*change.after) : "?");
    }
    out += r.time + "  " + (r.name.empty() ? "-" : visibleText(r.name)) + "  address " + std::to_string(r.address) +
           " on " + visibleText(r.link) + "  " + r.command + " " + r.outcome +
           (r.exit != 0 ? " (exit " + std::to_string(r.exit) + ")" : "") + (changes.empty() ? "" : "  " + changes) +
           "\n";
  }
  return out;
}

}  // namespace netsetup::cli
