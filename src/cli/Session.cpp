#include "cli/Session.h"

#include "actions/Steps.h"
#include "cli/ExitCodes.h"
#include "link/FrameText.h"
#include "text/Lines.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// How every step before the first chunk ends when it is interrupted.
constexpr std::string_view kNothingWritten = "nothing was written to the instrument";

}  // namespace

Session::Session(const Context& context, const Target& target, bool trace) : context_(context), target_(target) {
  if (trace) {
    trace_ = std::make_unique<Trace>(context_.io.err);
    link().setObserver(trace_.get());
  }
}

Session::~Session() {
  link().Close();
  link().setObserver(nullptr);
}

CliResult<> Session::open() {
  const Step<> opened = openLink(link(), target_.choice);
  if (opened) return {};
  if (opened.failure().kind == ActionOutcome::Kind::Error) return CliFailure{kExitUsage, opened.failure().text};
  CliFailure failure{kExitLink, "cannot open " + target_.description};
  // The system's words first, then what to do and what is there, a line each.
  const std::vector<std::string> detail = splitLineTexts(link().openFailureDetail());
  if (detail.empty()) {
    failure.reason = statusMeaning(link().Status);
  } else {
    failure.reason = detail.front();
    failure.advice.assign(detail.begin() + 1, detail.end());
  }
  return failure;
}

CliResult<> Session::identify() {
  if (netsetup::identify(link(), type_)) return {};
  if (link().stopped()) {
    return CliFailure{kExitInterrupted, "interrupted while waiting for the identification answer on " +
                                            target_.description + "; " + std::string(kNothingWritten)};
  }
  if (link().Status != StatusOk) {
    return CliFailure{kExitIdentify, "no valid answer to the identification request on " + target_.description +
                                         " (code " + std::to_string(link().Status) + ": " +
                                         statusMeaning(link().Status) +
                                         "); check the rate, the wiring and that the instrument is powered"};
  }
  return CliFailure{kExitIdentify, "the instrument on " + target_.description + " is a \"" + visibleBytes(type_) +
                                       "\", not a " + kExpectedDeviceType};
}

CliResult<> Session::connect() {
  if (CliResult<> opened = open(); !opened) return opened;
  return identify();
}

std::string Session::readFailureText(const TransferFailure& failure) const {
  return "reading the settings area from address " + std::to_string(target_.address) + " failed at chunk " +
         std::to_string(failure.failedChunk + 1) + " of " + std::to_string(kChunkCount) + " (code " +
         std::to_string(failure.status) + ": " + statusMeaning(failure.status) + ")";
}

CliResult<SettingsArea> Session::readArea() {
  SettingsArea area{};
  const TransferResult read = ReadSettingsArea(link(), target_.address, area);
  if (read) return area;
  if (read.failure().interrupted) {
    return CliFailure{kExitInterrupted, "interrupted while reading the settings area from address " +
                                            std::to_string(target_.address) + " (chunk " +
                                            std::to_string(read.failure().failedChunk + 1) + " of " +
                                            std::to_string(kChunkCount) + "); " + std::string(kNothingWritten)};
  }
  return CliFailure{kExitTransfer, readFailureText(read.failure()) + "; nothing was changed"};
}

CliResult<SettingsArea> Session::connectAndRead() {
  if (CliResult<> connected = connect(); !connected) return connected.failure();
  return readArea();
}

CliResult<> Session::stopPoint() {
  if (!context_.interrupts.stopAsked()) return {};
  return CliFailure{kExitInterrupted, "interrupted; " + std::string(kNothingWritten)};
}

}  // namespace netsetup::cli
