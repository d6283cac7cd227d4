#include "cli/session/Session.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "actions/Steps.h"
#include "cli/session/ExitCodes.h"
#include "link/FrameText.h"
#include "text/Lines.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// How every step before the first chunk ends when it is interrupted.
constexpr std::string_view kNothingWritten = "nothing was written to the instrument";

}  // namespace

Session::Session(const Context& context, const Target& target, bool trace) : context_(context), target_(target) {
  // Within the link's own limits: the option's parser keeps to them.
  if (target_.timeoutMs) static_cast<void>(link().setFirstByteTimeoutMs(*target_.timeoutMs));
  if (trace) {
    trace_ = std::make_unique<Trace>(context_.io.err);
    link().setObserver(trace_.get());
    if (!target_.hostName.empty()) trace_->note(target_.hostName + " is " + target_.choice.host);
  }
}

Session::~Session() {
  link().Close();
  link().setObserver(nullptr);
}

namespace {

// A port another netsetup-cli holds is free again once its work is done; where the system does
// not say who holds it (Windows), it may be one.
bool heldByAnotherRun(const PortInUse& inUse) {
  return !inUse.programs || std::find(inUse.programs->begin(), inUse.programs->end(), "netsetup-cli") !=
                                inUse.programs->end();
}

}  // namespace

bool Session::waitForPort(std::chrono::steady_clock::time_point start, bool& said, bool& lookedAgain) {
  const std::optional<PortInUse>& inUse = link().portInUse();
  const auto waited = std::chrono::steady_clock::now() - start;
  if (!inUse || waited >= std::chrono::seconds(target_.waitSeconds)) return false;
  if (!heldByAnotherRun(*inUse)) {
    // The holders are looked up after the refusal: a run that let go in between is no longer
    // listed, and the port may be free now. Try once more at once before naming who holds it.
    if (lookedAgain) return false;
    lookedAgain = true;
    return true;
  }
  if (!said) {
    context_.io.err << kComplaintPrefix << target_.line << " is in use by "
                    << (inUse->programs ? "another netsetup-cli" : "another program (perhaps another netsetup-cli)")
                    << "; waiting for it, up to " << target_.waitSeconds << " s (--wait)\n";
    context_.io.err.flush();
    said = true;
  }
  for (int step = 0; step < 10; ++step) {
    if (context_.interrupts.stopAsked()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

CliResult<> Session::open() {
  const auto start = std::chrono::steady_clock::now();
  bool said = false, lookedAgain = false;
  Step<> opened = openLink(link(), target_.choice);
  while (!opened && waitForPort(start, said, lookedAgain)) opened = openLink(link(), target_.choice);
  if (opened) return {};
  if (said && context_.interrupts.any()) {
    return CliFailure{kExitInterrupted, "interrupted while waiting for " + target_.line + "; " +
                                            std::string(kNothingWritten)};
  }
  if (opened.failure().kind == ActionOutcome::Kind::Error) return CliFailure{kExitUsage, opened.failure().text};
  CliFailure failure{kExitLink, "cannot open " + target_.description};
  // The system's words first, then what to do and what is there, a line each.
  const std::vector<std::string> detail = splitLineTexts(link().openFailureDetail(Language::English));
  if (detail.empty()) {
    failure.reason = statusMeaning(link().Status);
  } else {
    failure.reason = detail.front();
    failure.advice.assign(detail.begin() + 1, detail.end());
  }
  return failure;
}

std::optional<std::string> Session::slowAnswers(bool garbled) {
  const std::string wait = std::to_string(link().firstByteTimeoutMs()) + " ms";
  const std::string longer = "Give --timeout MS, more than the instrument needs (e.g. --timeout 2000)";
  if (link().lateBytes() > 0) {
    return "The instrument answers more slowly than the link waits: " + std::to_string(link().lateBytes()) +
           " bytes came after the " + wait + " it waits for an answer's first byte. " + longer;
  }
  if (garbled && link().timedOutAttempts() > 0) {
    return "Attempts before went unanswered within the " + wait + " the link waits: an answer that comes later is "
           "taken for the next request's. If the instrument answers slowly (behind a cellular modem, say): " + longer;
  }
  return std::nullopt;
}

CliResult<> Session::identify() {
  const bool identified = netsetup::identify(link(), type_).ok();
  identifiedFrom_ = link().answeredAddress();
  if (identified) return {};
  if (link().stopped()) {
    return CliFailure{kExitInterrupted, "interrupted while waiting for the identification answer on " +
                                            target_.description + "; " + std::string(kNothingWritten)};
  }
  if (link().Status != StatusOk) {
    CliFailure failure{kExitIdentify, "no valid answer to the identification request on " + target_.description +
                                          " (code " + std::to_string(link().Status) + ": " +
                                          statusMeaning(link().Status) +
                                          "); check the rate, the wiring and that the instrument is powered"};
    if (std::optional<std::string> slow = slowAnswers(link().Status != ErrTimeout)) failure.advice.push_back(*slow);
    return failure;
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
  if (read) {
    // After attempts given up, an answer on its way would show the area may be mixed up: one
    // block's answer taken for the next.
    if (link().timedOutAttempts() > 0) link().settle();
    std::optional<std::string> slow = slowAnswers();
    if (!slow) return area;
    return CliFailure{kExitTransfer,
                      "answers came late while the settings area was read from address " +
                          std::to_string(target_.address) + ", so what was read may be mixed up; nothing was changed",
                      "", {*slow}};
  }
  if (read.failure().interrupted) {
    return CliFailure{kExitInterrupted, "interrupted while reading the settings area from address " +
                                            std::to_string(target_.address) + " (chunk " +
                                            std::to_string(read.failure().failedChunk + 1) + " of " +
                                            std::to_string(kChunkCount) + "); " + std::string(kNothingWritten)};
  }
  CliFailure failure{kExitTransfer, readFailureText(read.failure()) + "; nothing was changed"};
  // Identification goes to address 0, which every instrument hears: who answered it says where one is.
  const bool silent = read.failure().failedChunk == 0 && read.failure().status == ErrTimeout;
  if (silent && identifiedFrom_ && *identifiedFrom_ != target_.address) {
    failure.advice.push_back("Nothing answers at address " + std::to_string(target_.address) +
                             ", but the identification was answered from address " +
                             std::to_string(*identifiedFrom_) + ": is the instrument there? (--address " +
                             std::to_string(*identifiedFrom_) + ")");
  }
  if (std::optional<std::string> slow = slowAnswers(read.failure().status != ErrTimeout)) {
    failure.advice.push_back(*slow);
  }
  return failure;
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
