#include "link/DeviceInfo.h"

#include <sys/stat.h>

#include "link/posix/DevicePaths.h"

namespace netsetup {

std::string describeSerialDevice(const std::string& device, Language language) {
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0) return linkText(language, LinkText::NotPresent, {device});
  const std::string text = linkText(language, LinkText::Present, {device});
  const std::string target = canonicalPath(device);
  for (const std::string& name : folderEntries("/dev/serial/by-id")) {
    if (canonicalPath("/dev/serial/by-id/" + name) == target) return text + ", " + adapterName(name);
  }
  return text;
}

}  // namespace netsetup
