#include "link/DeviceInfo.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>

namespace netsetup {

namespace {

std::string canonical(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string text(real);
  std::free(real);
  return text;
}

}  // namespace

std::string describeSerialDevice(const std::string& device) {
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0) return device + ": not present";
  std::string text = device + ": present";
  const std::string target = canonical(device);
  if (DIR* dir = ::opendir("/dev/serial/by-id")) {
    while (const dirent* e = ::readdir(dir)) {
      if (e->d_name[0] != '.' && canonical(std::string("/dev/serial/by-id/") + e->d_name) == target) {
        text += ", " + adapterName(e->d_name);
        break;
      }
    }
    ::closedir(dir);
  }
  return text;
}

}  // namespace netsetup
