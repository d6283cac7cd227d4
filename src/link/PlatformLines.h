#pragma once
// What each platform folder (src/link/posix, src/link/win32) provides under the shared serial
// and TCP lines and the transport factory: opening, and saying why an opening failed.
#include <cstdint>
#include <memory>
#include <string>

#include "link/SerialLine.h"
#include "link/SocketDevice.h"
#include "link/TransportFactory.h"
#include "text/Ipv4Text.h"
#include "text/Result.h"

namespace netsetup {

// Where opening a serial port stopped, and the system's error there (errno, or a Windows error
// code). Windows stops only at Open (CreateFile) or Configure.
struct SerialFailure {
  enum class Step { Open, Lock, Exclusive, Configure } step = Step::Open;
  int error = 0;
};

// The port, exclusively, raw 8N1 at exactly `baud`; when that cannot be had, where and why.
Result<std::unique_ptr<SerialLine>, SerialFailure> openSerialPort(const std::string& device, int32_t baud);

// What went wrong and what to do about it, for a person: a missing device (with the ones that
// do exist), a port another program holds (with that program where the system tells it), a port
// this user may not open (with the command that grants it), a path that is no serial port.
Bilingual explainSerialFailure(const std::string& device, const SerialFailure& failure);

// Whether the failure is another program holding the port, and which where the system says.
std::optional<PortInUse> portInUse(const std::string& device, const SerialFailure& failure);

// A TCP socket not yet connected; failing with ErrNetInit or ErrNoSocket.
Result<std::unique_ptr<SocketDevice>, SocketFailure> openSocket();

// A socket not had or a failed connection (refused, unreachable, no answer in time), with the
// address tried.
Bilingual explainTcpFailure(const Ipv4Octets& address, uint16_t port, const SocketFailure& failure);

}  // namespace netsetup
