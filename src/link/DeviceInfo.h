#pragma once
#include <string>
#include <string_view>

#include "link/LinkTexts.h"

namespace netsetup {

// What the port list tells about the device an entry opens, now: "/dev/ttyUSB0: present, FTDI
// FT232R USB UART (A50285BI)" or "/dev/ttyUSB3: not present". The platform's own
// (src/link/posix, src/link/win32).
std::string describeSerialDevice(const std::string& device, Language language);

// The adapter's name in a stable device name of /dev/serial/by-id:
// "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" -> "FTDI FT232R USB UART A50285BI".
std::string adapterName(std::string_view byIdName);

}  // namespace netsetup
