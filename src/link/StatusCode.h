#pragma once
#include <cstdint>

namespace netsetup {

// The outcome the link leaves in Tmod07::Status after every operation that talks to the line.
enum StatusCode : int32_t {
  StatusOk = 0,
  ErrWrite = 1,         // fewer bytes transmitted than the frame holds
  ErrTimeout = 2,       // a response byte did not arrive in time
  ErrLength = 3,        // response data length over 70 (or, for a read, not the count asked)
  ErrChecksum = 4,      // response checksum does not match
  ErrAddress = 5,       // response address complement does not match
  ErrPortOpen = 100,    // the serial port could not be opened
  ErrNoSocket = 101,    // no TCP socket
  ErrNetInit = 102,     // socket library start-up failed (never on Linux)
  ErrConnect = 105,     // the TCP connection could not be established
  ErrHostAddress = 111  // TCP host empty or not a dotted IPv4 address
};

}  // namespace netsetup
