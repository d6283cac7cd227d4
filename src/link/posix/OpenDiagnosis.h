#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/LinkTexts.h"

namespace netsetup {

// The serial devices a missing device's message offers instead.
struct PresentSerialDevices {
  std::vector<std::string> devices;      // "/dev/ttyS0", "/dev/ttyUSB0"
  std::vector<std::string> stableNames;  // "/dev/serial/by-id/usb-FTDI_...-port0 -> /dev/ttyUSB0"
};

// In `deviceFolder`: ttyUSB* and ttyACM* (they exist only while plugged in) and the ttyS* ports
// for which `isRealPort(name)` holds (the kernel makes ttyS0..3 whether or not a UART is
// behind them); in `stableFolder`: each name with the device it stands for.
PresentSerialDevices findSerialDevices(const std::string& deviceFolder, const std::string& stableFolder,
                                       const std::function<bool(const std::string& name)>& isRealPort);

// Whether a UART is behind /dev/NAME: the kernel's port type for it (sysfs, or TIOCGSERIAL
// where sysfs does not say) is not PORT_UNKNOWN.
bool isRealSerialPort(const std::string& name);

// The serial devices present now, in /dev and /dev/serial/by-id.
PresentSerialDevices presentSerialDevices();

// A device that does not exist: the system's `reason`, the devices present and how to map one
// in the settings file's [Ports].
std::string missingDeviceText(const std::string& device, const std::string& reason,
                              const PresentSerialDevices& present, Language language);

}  // namespace netsetup
