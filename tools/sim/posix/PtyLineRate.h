#pragma once
#include <optional>

namespace netsetup {

// The rate the client has set on a pseudo-terminal's slave, read through the master: Linux
// answers a master's termios requests with its slave's settings. nullopt when unreadable.
std::optional<unsigned> slaveLineRate(int master);

}  // namespace netsetup
