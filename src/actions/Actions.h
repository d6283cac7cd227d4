#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "link/TcpPort.h"
#include "netblock/NetworkSettings.h"

namespace netsetup {

class Tmod07;

// The rates behind the baud list's entries, by index.
inline constexpr std::array<int32_t, 6> BaudRates{9600, 19200, 28800, 38400, 57600, 115200};
// The rate used when the list has no selection (a settings file may leave it so).
inline constexpr int32_t kFallbackBaud = 9600;

// The rate of the baud list's entry `index`; kFallbackBaud for no entry.
constexpr int32_t baudRateAt(int index) {
  return index >= 0 && index < static_cast<int>(BaudRates.size()) ? BaudRates[static_cast<size_t>(index)]
                                                                     : kFallbackBaud;
}

// The entry of the baud list that holds `rate`, -1 for none.
constexpr int baudIndexOf(int32_t rate) {
  for (size_t i = 0; i < BaudRates.size(); ++i)
    if (BaudRates[i] == rate) return static_cast<int>(i);
  return -1;
}
inline constexpr char kExpectedDeviceType[] = "VRN-207K";

// The link as the window's controls choose it.
struct LinkChoice {
  bool useTcp = false;
  int portIndex = 0;  // the port list's selection, -1 for none
  int baudIndex = 0;  // the baud list's selection, -1 for none
  std::string host;
  std::string tcpPortText;
};

// What an action asks the window to show. Texts are UTF-8.
struct ActionOutcome {
  enum class Kind {
    Done,     // nothing to show; after a Read, `fields` holds what was read
    Message,  // the actions' message box
    Error     // the error box
  };
  Kind kind = Kind::Done;
  std::string text;
  NetworkFields fields;
  // For a link that did not open: what the system said and what to do, for the box's details.
  std::string details;
};

// "Прочитать": open, identify, read the settings area, close, decode.
ActionOutcome readAction(Tmod07& link, const LinkChoice& choice, const std::string& networkAddressText);

// "Записать": open, identify, read the area again, put `fields` into it, write it, close.
ActionOutcome writeAction(Tmod07& link, const LinkChoice& choice, const std::string& networkAddressText,
                          const NetworkFields& fields);

}  // namespace netsetup
