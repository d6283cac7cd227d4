#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "cli/session/CliFailure.h"
#include "cli/session/Context.h"
#include "cli/session/Target.h"
#include "cli/console/Trace.h"
#include "netblock/NetworkSettings.h"
#include "netblock/SettingsTransfer.h"

namespace netsetup::cli {

// One conversation with one instrument. Each step goes through, or returns what failed (with the
// system's reason for a link that did not open); none prints anything but the trace. A stop
// asked for through the interrupts ends a step at the next exchange with kExitInterrupted. The
// link is closed when the session ends.
class Session {
 public:
  Session(const Context& context, const Target& target, bool trace);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const Target& target() const { return target_; }
  const std::string& type() const { return type_; }  // what identification answered, if anything
  Tmod07& link() { return context_.link; }
  Interrupts& interrupts() { return context_.interrupts; }
  Io io() const { return context_.io; }

  CliResult<> open();      // opens the link
  CliResult<> identify();  // asks the type at address 0; anything but VRN-207K fails
  CliResult<> connect();   // both
  CliResult<SettingsArea> readArea();
  // Open, identify and read: how every command that needs the area starts.
  CliResult<SettingsArea> connectAndRead();
  // kExitInterrupted when a stop was asked for; for the moments between steps.
  CliResult<> stopPoint();

  // When answers came after the link had given up waiting for them: that the instrument answers
  // more slowly than the wait, and the option that waits longer. With `garbled` (an answer
  // came but was wrong, after attempts that went unanswered): that this may be why.
  std::optional<std::string> slowAnswers(bool garbled = false);

  // How a read of the area failed, in words: "reading the settings area from address 1 failed
  // at chunk 2 of 5 (code 2: no answer in time)".
  std::string readFailureText(const TransferFailure& failure) const;

 private:
  // After an open that failed: whether to try again, having waited a moment, because another
  // run holds the port and the wait since `start` is not over (said once, in `said`).
  bool waitForPort(std::chrono::steady_clock::time_point start, bool& said, bool& lookedAgain);

  Context context_;
  Target target_;
  std::unique_ptr<Trace> trace_;
  std::string type_;
  std::optional<uint8_t> identifiedFrom_;  // the address identification's answer came from
};

}  // namespace netsetup::cli
