// termios2 lives in the kernel's headers, which cannot share a file with <termios.h>.
#include "link/posix/SerialTermios2.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace netsetup {

namespace {

// What cfmakeraw clears, plus XON/XOFF: Linux turns IXON on by default, and it would swallow
// 0x11 and 0x13 out of binary frames. Hardware flow control (CRTSCTS) stays as found.
constexpr tcflag_t kRawInputClear =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY;
constexpr tcflag_t kRawLocalClear = ECHO | ECHONL | ICANON | ISIG | IEXTEN;

// A rate with a classic code is set by that code, so a program that opens the port after us and
// knows only the classic codes (wine among them) can still read the line's settings. Any other
// rate, 28800 among them, is set exactly through BOTHER.
tcflag_t rateCode(uint32_t rate) {
  switch (rate) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return BOTHER;
  }
}

}  // namespace

bool configureRawLine(int fd, uint32_t rate, IoctlCalls& calls) {
  if (rate == 0) return false;  // a zero rate would hang the line up
  struct termios2 tio {};
  if (calls.ioctl(fd, TCGETS2, &tio) != 0) return false;

  tio.c_iflag &= ~kRawInputClear;
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~kRawLocalClear;
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CBAUD | CIBAUD);
  const tcflag_t code = rateCode(rate);
  tio.c_cflag |= CS8 | CLOCAL | CREAD | code | (code << IBSHIFT);
  tio.c_ispeed = rate;
  tio.c_ospeed = rate;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  return calls.ioctl(fd, TCSETS2, &tio) == 0;
}

std::optional<SerialLineState> readLineState(int fd) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return std::nullopt;
  SerialLineState state;
  state.inputRate = tio.c_ispeed;
  state.outputRate = tio.c_ospeed;
  state.raw8N1 = (tio.c_iflag & kRawInputClear) == 0 && (tio.c_oflag & OPOST) == 0 &&
                 (tio.c_lflag & kRawLocalClear) == 0 && (tio.c_cflag & CSIZE) == CS8 &&
                 (tio.c_cflag & (PARENB | CSTOPB)) == 0 && (tio.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD) &&
                 tio.c_cc[VMIN] == 0 && tio.c_cc[VTIME] == 0;
  state.hardwareFlow = (tio.c_cflag & CRTSCTS) != 0;
  state.softwareFlow = (tio.c_iflag & (IXON | IXOFF)) != 0;
  return state;
}

}  // namespace netsetup
