#pragma once
#include <functional>
#include <string>

class QComboBox;

namespace netsetup {

// Each entry of the port list tells, in its tooltip, the device it opens, whether that device
// is there, and the adapter's name: read again each time the list opens, so an adapter plugged
// in meanwhile shows. `deviceOf` gives the device of entry n (0 for COM1).
void showDevicesInTips(QComboBox& list, std::function<std::string(int entry)> deviceOf);

}  // namespace netsetup
