#pragma once
#include <string>

#include "actions/Actions.h"
#include "link/Umod07.h"
#include "netblock/SettingsTransfer.h"
#include "text/Result.h"

namespace netsetup {

// The steps the window's actions are made of, for the command-line tool's own sequences. Each
// goes on, or stops with the outcome the window would show when the action must end there.
template <class T = void>
using Step = Result<T, ActionOutcome>;

// Closes the link however an action ends, so a failed action never keeps the port.
class CloseOnExit {
 public:
  explicit CloseOnExit(Tmod07& link) : link_(link) {}
  ~CloseOnExit() { link_.Close(); }
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  Tmod07& link_;
};

// Sets the link up as the window's controls choose it and opens it.
Step<> openLink(Tmod07& link, const LinkChoice& choice);

// Asks for the type at address 0; `type` receives the answer (empty when none came), also when
// the step stops, so a caller can name what answered.
Step<> identify(Tmod07& link, std::string& type);

// The network address by the integer-text rule, within 0..255.
Step<uint8_t> networkAddress(const std::string& text);

// The window's messages for a failed chunk.
std::string readFailureMessage(const TransferFailure& failure);
std::string writeFailureMessage(const TransferFailure& failure);

}  // namespace netsetup
