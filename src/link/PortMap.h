#pragma once
#include <map>
#include <string>

namespace netsetup {

// Which device a serial port number opens. The defaults are the platform's: on Linux COM1..8 ->
// /dev/ttyUSB0..7, COM9..12 -> /dev/ttyACM0..3, COM13..16 -> /dev/ttyS0..3; on Windows COMn is
// the port of that name. Any entry can be replaced.
class PortMap {
 public:
  static constexpr unsigned kPortCount = 16;

  // The device for port `number` (1-based), or "" when the number has none.
  std::string device(unsigned number) const;
  static std::string defaultDevice(unsigned number);

  void set(unsigned number, std::string device);

 private:
  std::map<unsigned, std::string> overrides_;
};

}  // namespace netsetup
