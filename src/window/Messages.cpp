#include "window/Messages.h"

namespace netsetup {

// The last byte of a UTF-8 sequence of two or more sorts after "." as its character does.
std::string errorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}

}  // namespace netsetup
