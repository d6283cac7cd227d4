#include "link/DeviceInfo.h"

#include "link/win32/PresentPorts.h"
#include "text/Utf16.h"

namespace netsetup {

std::string describeSerialDevice(const std::string& device) {
  const size_t slash = device.rfind('\\');
  const std::string port = slash == std::string::npos ? device : device.substr(slash + 1);
  const std::u16string wide = utf8ToUtf16(port);
  const unsigned number = comPortNumber(std::wstring(wide.begin(), wide.end()));
  for (const PresentPort& present : presentSerialPorts()) {
    if (present.number != number) continue;
    return port + ": present" +
           (present.name.empty() ? "" : ", " + utf16ToUtf8(std::u16string(present.name.begin(), present.name.end())));
  }
  return port + ": not present";
}

}  // namespace netsetup
