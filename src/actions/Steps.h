#pragma once
#include <optional>
#include <string>

#include "actions/Actions.h"
#include "link/Umod07.h"
#include "netblock/SettingsTransfer.h"

namespace netsetup {

// The steps the window's actions are made of, for the command-line tool's own sequences. Each
// returns the outcome the window would show when the action must stop there.

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
std::optional<ActionOutcome> openLink(Tmod07& link, const LinkChoice& choice);

// Asks for the type at address 0; `type` receives the answer (empty when none came).
std::optional<ActionOutcome> identify(Tmod07& link, std::string& type);

// The network address by the integer-text rule, within 0..255.
std::optional<ActionOutcome> networkAddress(const std::string& text, uint8_t& address);

// The window's messages for a failed chunk.
std::string readFailureMessage(const TransferResult& result);
std::string writeFailureMessage(const TransferResult& result);

}  // namespace netsetup
