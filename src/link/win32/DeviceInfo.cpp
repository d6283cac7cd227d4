#include "link/DeviceInfo.h"

#include "link/AdapterLatency.h"
#include "link/win32/PresentPorts.h"
#include "text/ComPortName.h"
#include "text/Wide.h"

namespace netsetup {

std::string describeSerialDevice(const std::string& device, Language language) {
  const std::string port = comPortName(device);
  const std::optional<PresentPort> present = presentSerialPort(comPortNumber(port));
  if (!present) return linkText(language, LinkText::NotPresent, {port});
  std::string text = linkText(language, LinkText::Present, {port});
  if (!present->name.empty()) text += ", " + toUtf8(present->name);
  if (present->latencyTimerMs) text += ", " + latencyTimerText(*present->latencyTimerMs, language);
  return text;
}

}  // namespace netsetup
