#include "link/DeviceInfo.h"

#include "link/win32/PresentPorts.h"
#include "text/Wide.h"

namespace netsetup {

std::string describeSerialDevice(const std::string& device) {
  const size_t slash = device.rfind('\\');
  const std::string port = slash == std::string::npos ? device : device.substr(slash + 1);
  const unsigned number = comPortNumber(toWide(port));
  for (const PresentPort& present : presentSerialPorts()) {
    if (present.number != number) continue;
    return port + ": present" +
           (present.name.empty() ? "" : ", " + toUtf8(present.name));
  }
  return port + ": not present";
}

}  // namespace netsetup
