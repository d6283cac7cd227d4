// The termios2 requests by name, apart: <asm/termbits.h> cannot share a file with <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>

namespace netsetup::testing {

const char* termios2RequestName(unsigned long request) {
  if (request == TCGETS2) return "TCGETS2";
  if (request == TCSETS2) return "TCSETS2";
  return nullptr;
}

}  // namespace netsetup::testing
