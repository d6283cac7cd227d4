#include "link/posix/DevicePaths.h"

#include <algorithm>
#include <cstdlib>

#include "link/posix/Fd.h"

namespace netsetup {

std::string canonicalPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string text(real);
  std::free(real);
  return text;
}

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (const UniqueDir dir(::opendir(folder.c_str())); dir) {
    while (const dirent* e = ::readdir(dir.get())) {
      if (e->d_name[0] != '.') names.emplace_back(e->d_name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace netsetup
