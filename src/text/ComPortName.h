#pragma once
#include <string_view>

namespace netsetup {

// n for a serial port's name "COMn" in any case, n of one to three digits (Windows numbers its
// ports up to 255); 0 for any other text. Callers check n against the ports they know.
unsigned comPortNumber(std::string_view name);

}  // namespace netsetup
