#include "config/SettingsLocation.h"

#include "files/FileStore.h"
#include "config/SettingsFile.h"

namespace netsetup {

namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

}  // namespace

SettingsLocation chooseSettingsLocation(const std::string& besidePath, const std::string& userPath,
                                        const std::function<bool(const std::string&)>& folderWritable,
                                        const std::function<bool(const std::string&)>& fileExists) {
  if (userPath.empty() || folderWritable(folderOf(besidePath))) return {besidePath, besidePath};
  return {fileExists(userPath) ? userPath : besidePath, userPath};
}

SettingsLocation settingsLocationFor(const std::string& executablePath) {
  return chooseSettingsLocation(settingsPathFor(executablePath), userSettingsPath(), folderWritable,
                                [](const std::string& file) { return files::readFile(file).ok(); });
}

}  // namespace netsetup
