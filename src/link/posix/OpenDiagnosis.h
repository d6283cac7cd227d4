#pragma once
#include <cstdint>
#include <string>

#include "text/Ipv4Text.h"

namespace netsetup {

// Where opening a serial port stopped, and the system's error there.
struct SerialFailure {
  enum class Step { Open, Lock, Exclusive, Configure } step = Step::Open;
  int error = 0;
};

// What went wrong and what to do about it, for a person: a missing device (with the devices
// that do exist), a port this user may not open (with its group and the command that grants
// it), a port another program holds (with that program where the system tells it), a path that
// is no serial port.
std::string explainSerialFailure(const std::string& device, const SerialFailure& failure);

// A failed TCP connection: refused, unreachable, no answer in time, with the address tried.
// `error` 0 means the time bound ran out.
std::string explainTcpFailure(const Ipv4Octets& address, uint16_t port, int error);

// The serial devices present now: /dev/ttyUSB*, /dev/ttyACM*, and the stable names under
// /dev/serial/by-id with the device each stands for.
std::string listSerialDevices();

}  // namespace netsetup
