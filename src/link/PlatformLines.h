#pragma once
// What each platform folder (src/link/posix, src/link/win32) provides under the shared serial
// and TCP lines and the transport factory: opening, and saying why an opening failed.
#include <cstdint>
#include <memory>
#include <string>

#include "link/SerialLine.h"
#include "link/SocketDevice.h"
#include "text/Ipv4Text.h"

namespace netsetup {

// Where opening a serial port stopped, and the system's error there (errno, or a Windows error
// code). Windows stops only at Open (CreateFile) or Configure.
struct SerialFailure {
  enum class Step { Open, Lock, Exclusive, Configure } step = Step::Open;
  int error = 0;
};

// The port, exclusively, raw 8N1 at exactly `baud`; null when that cannot be had, and then
// `failure`, when given, says where and why.
std::unique_ptr<SerialLine> openSerialPort(const std::string& device, int32_t baud, SerialFailure* failure);

// What went wrong and what to do about it, for a person: a missing device (with the ones that
// do exist), a port another program holds (with that program where the system tells it), a port
// this user may not open (with the command that grants it), a path that is no serial port.
std::string explainSerialFailure(const std::string& device, const SerialFailure& failure);

// A TCP socket not yet connected: StatusOk with it, or ErrNetInit / ErrNoSocket and the
// system's error without it.
struct NewSocket {
  int32_t status = 0;
  std::unique_ptr<SocketDevice> socket;
  int error = 0;
};
NewSocket openSocket();

// A failed connection (refused, unreachable, no answer in time), with the address tried:
// `status` as TcpLine::connect gave it, `error` the system's (0: no answer in time).
std::string explainTcpFailure(const Ipv4Octets& address, uint16_t port, int32_t status, int error);

}  // namespace netsetup
