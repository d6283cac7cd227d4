#include "link/posix/OpenDiagnosis.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "link/FailureText.h"
#include "link/PlatformLines.h"
#include "link/posix/DevicePaths.h"
#include "link/posix/Fd.h"

namespace netsetup {

namespace {

std::string userName() {
  const passwd* pw = ::getpwuid(::geteuid());
  return pw ? pw->pw_name : std::to_string(::geteuid());
}

std::string groupName(gid_t gid) {
  const group* gr = ::getgrgid(gid);
  return gr ? gr->gr_name : std::to_string(gid);
}

bool userListedInGroup(gid_t gid) {
  const group* gr = ::getgrgid(gid);
  if (!gr) return false;
  const std::string user = userName();
  for (char** member = gr->gr_mem; member && *member; ++member) {
    if (user == *member) return true;
  }
  return false;
}

struct Holder {
  std::string pid, program;
};

// The programs holding `device` open; only those this user may look into.
std::vector<Holder> holders(const std::string& device) {
  const std::string target = canonicalPath(device);
  std::vector<Holder> found;
  for (const std::string& pid : folderEntries("/proc")) {
    const bool isPid = std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!isPid) continue;
    const std::string fds = "/proc/" + pid + "/fd";
    for (const std::string& fd : folderEntries(fds)) {
      char link[4096];
      const ssize_t n = ::readlink((fds + "/" + fd).c_str(), link, sizeof link - 1);
      if (n <= 0 || std::string(link, static_cast<size_t>(n)) != target) continue;
      std::string name;
      std::getline(std::ifstream("/proc/" + pid + "/comm"), name);
      found.push_back({pid, name});
      break;
    }
  }
  return found;
}

std::string permissionAdvice(const std::string& device, Language language) {
  struct stat st {};
  const std::string text = linkText(language, LinkText::MayNotOpen, {userName(), device});
  if (::stat(device.c_str(), &st) != 0) return text;
  const std::string group = groupName(st.st_gid);
  const bool groupMayWrite = (st.st_mode & S_IWGRP) != 0;
  if (st.st_uid == 0 && groupMayWrite && st.st_gid != 0) {
    if (userListedInGroup(st.st_gid)) return text + linkText(language, LinkText::GroupJoinedLater, {group});
    return text + linkText(language, LinkText::GroupToJoin, {group, userName()});
  }
  return text + linkText(language, LinkText::OwnerForbids, {std::to_string(st.st_uid), group});
}

}  // namespace

PresentSerialDevices findSerialDevices(const std::string& deviceFolder, const std::string& stableFolder,
                                       const std::function<bool(const std::string& name)>& isRealPort) {
  PresentSerialDevices present;
  for (const std::string& name : folderEntries(deviceFolder)) {
    const bool plugged = name.starts_with("ttyUSB") || name.starts_with("ttyACM");
    if (plugged || (name.starts_with("ttyS") && isRealPort(name))) present.devices.push_back(deviceFolder + "/" + name);
  }
  for (const std::string& name : folderEntries(stableFolder)) {
    const std::string path = stableFolder + "/" + name;
    present.stableNames.push_back(path + " -> " + canonicalPath(path));
  }
  return present;
}

bool isRealSerialPort(const std::string& name) {
  int type = PORT_UNKNOWN;
  if (std::ifstream("/sys/class/tty/" + name + "/type") >> type) return type != PORT_UNKNOWN;
  const UniqueFd fd(::open(("/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  serial_struct info{};
  return fd && ::ioctl(fd.get(), TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
}

PresentSerialDevices presentSerialDevices() {
  return findSerialDevices("/dev", "/dev/serial/by-id", isRealSerialPort);
}

std::string missingDeviceText(const std::string& device, const std::string& reason,
                              const PresentSerialDevices& present, Language language) {
  std::string text = linkText(language, LinkText::DeviceMissing, {device, reason});
  if (present.devices.empty() && present.stableNames.empty()) return text + linkText(language, LinkText::NoDevicePresent);
  text += linkText(language, LinkText::DevicesPresent);
  for (const std::string& line : present.devices) text += "  " + line + "\n";
  for (const std::string& line : present.stableNames) text += "  " + line + "\n";
  const std::string example = present.devices.empty() ? "/dev/ttyUSB0" : present.devices.front();
  return text + linkText(language, LinkText::ChooseOrMap, {example});
}

Bilingual explainSerialFailure(const std::string& device, const SerialFailure& failure) {
  const int e = failure.error;
  const std::string reason = std::strerror(e);
  const bool opening = failure.step == SerialFailure::Step::Open;
  if (opening && (e == ENOENT || e == ENODEV || e == ENXIO)) {
    const PresentSerialDevices present = presentSerialDevices();
    return inBoth([&](Language language) { return missingDeviceText(device, reason, present, language); });
  }
  if (opening && (e == EACCES || e == EPERM)) {
    return inBoth([&](Language language) { return permissionAdvice(device, language) + " (" + reason + ")"; });
  }
  if (e == EBUSY || e == EWOULDBLOCK) {
    const std::vector<Holder> who = holders(device);
    return inBoth([&](Language language) {
      std::string text = linkText(language, LinkText::DeviceHeld, {device});
      for (size_t i = 0; i < who.size(); ++i) {
        text += (i ? ", " : ": ") + who[i].pid + (who[i].program.empty() ? "" : " (" + who[i].program + ")");
      }
      return text + linkText(language, LinkText::CloseAndRetry);
    });
  }
  return inBoth([&](Language language) {
    if (e == EISDIR || e == ENOTTY || (!opening && e == EINVAL)) {
      return linkText(language, LinkText::NotASerialPort, {device, reason});
    }
    return linkText(language, LinkText::CannotOpen, {device, reason});
  });
}

std::optional<PortInUse> portInUse(const std::string& device, const SerialFailure& failure) {
  if (failure.error != EBUSY && failure.error != EWOULDBLOCK) return std::nullopt;
  std::vector<std::string> programs;
  for (const Holder& holder : holders(device)) programs.push_back(holder.program);
  return PortInUse{programs};
}

Bilingual explainTcpFailure(const Ipv4Octets& address, uint16_t port, const SocketFailure& failure) {
  const int error = failure.error;
  TcpFailure kind = TcpFailure::Other;
  if (error == 0 || error == ETIMEDOUT) kind = TcpFailure::TimedOut;
  if (error == ECONNREFUSED) kind = TcpFailure::Refused;
  if (error == EHOSTUNREACH || error == ENETUNREACH) kind = TcpFailure::Unreachable;
  return tcpFailureText(address, port, kind, error ? std::strerror(error) : "");
}

}  // namespace netsetup
