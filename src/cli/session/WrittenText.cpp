#include "cli/session/WrittenText.h"

namespace netsetup::cli {

std::vector<std::string> writtenLines(const Target& target, const FieldWrite& done, bool verify) {
  const std::string where = "address " + std::to_string(target.address) + " on " + target.description;
  std::vector<std::string> lines;
  if (!done.write) {
    lines.push_back(where + " already holds these values; nothing was written");
  } else {
    std::string names;
    for (const std::string& name : done.write->fates().written) names += (names.empty() ? "" : ", ") + name;
    lines.push_back("wrote " + names + " to " + where +
                    (verify ? "; verified by reading back" : "; not verified (--no-verify)"));
  }
  for (std::string& note : storedOtherwiseNotes(done.edit)) lines.push_back(std::move(note));
  if (done.write) lines.push_back("backup of the area before: " + done.write->backupPath);
  return lines;
}

}  // namespace netsetup::cli
