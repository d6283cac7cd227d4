// scan: finds an instrument whose rate and address nobody wrote down.
#include <optional>
#include <set>
#include <vector>

#include "cli/Commands.h"
#include "cli/console/Console.h"
#include "cli/session/ExitCodes.h"
#include "cli/console/Progress.h"
#include "cli/session/Session.h"
#include "link/FrameText.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// One attempt, and a first byte allowed 100 ms: an instrument at the right rate answers in
// milliseconds, and each silent rate then costs about a quarter of a second, not six.
constexpr uint32_t kScanAttempts = 1;
constexpr uint32_t kScanFirstByteMs = 100;

// Restores the link's own time-outs however the scan ends.
class ShortTimeouts {
 public:
  explicit ShortTimeouts(Tmod07& link)
      : link_(link), retries_(link.retryCount()), firstByte_(link.firstByteTimeoutMs()) {
    set(kScanAttempts, kScanFirstByteMs);
  }
  ~ShortTimeouts() { set(retries_, firstByte_); }
  ShortTimeouts(const ShortTimeouts&) = delete;
  ShortTimeouts& operator=(const ShortTimeouts&) = delete;

 private:
  // The scan's limits and the link's own are all ones the link accepts.
  void set(uint32_t attempts, uint32_t firstByteMs) {
    static_cast<void>(link_.setRetryCount(attempts));
    static_cast<void>(link_.setFirstByteTimeoutMs(firstByteMs));
  }

  Tmod07& link_;
  uint32_t retries_, firstByte_;
};

// What a scan has come to so far.
class Scan {
 public:
  Scan(const Context& context, const CliOptions& options, const Target& base, size_t steps)
      : context_(context), options_(options), base_(base),
        progress_(context.io.err, errorIsTerminal(), "scan", steps) {}

  // Tries every address of the range at `rate`; false when interrupted.
  CliResult<bool> atRate(int32_t rate);
  CliResult<int> end();

 private:
  Tmod07& link() { return context_.link; }
  void report(const std::string& type, uint8_t from, const std::string& where);
  // What the last exchange got: an instrument's answer, a damaged one, or nothing.
  void noteDamage(const std::string& where);
  void askAddress(int address, const std::string& where);
  CliFailure interrupted() const;

  const Context& context_;
  const CliOptions& options_;
  const Target& base_;
  Progress progress_;
  size_t step_ = 0;
  std::vector<std::string> found_, damaged_;
  std::set<uint8_t> reported_;  // by address, on a line of several instruments
  int32_t rate_ = 0, foundRate_ = 0;
};

void Scan::report(const std::string& type, uint8_t from, const std::string& where) {
  const std::string line = "\"" + visibleBytes(type) + "\" at " + where + ", address " + std::to_string(from);
  found_.push_back(line);
  foundRate_ = rate_;
  progress_.finish();  // the bar gives way to the result
  context_.io.out << "found " << line << '\n';
  context_.io.out.flush();
}

void Scan::noteDamage(const std::string& where) {
  const int32_t status = link().Status;
  if (status == StatusOk || link().stopped() || link().receivedInLastExchange() == 0) return;
  const std::string line = where + " (code " + std::to_string(status) + ": " + statusMeaning(status) + ")";
  if (damaged_.empty() || damaged_.back() != line) damaged_.push_back(line);
}

// On a line shared by several instruments each address is asked for a byte of its own. Whoever
// answers says its own address (a request to 0 is answered by one of the others), and each
// instrument is reported once, by that address.
void Scan::askAddress(int address, const std::string& where) {
  uint8_t byte = 0;
  link().ReadMemory(static_cast<uint8_t>(address), kSettingsAreaAddress, &byte, 1);
  noteDamage(where);
  const std::optional<uint8_t> from = link().answeredAddress();
  if (link().Status != StatusOk || !from || !reported_.insert(*from).second) return;
  const std::string type = link().ReadDeviceType(*from);
  report(link().Status == StatusOk ? type : std::string("?"), *from, where);
}

CliResult<bool> Scan::atRate(int32_t rate) {
  Target target = base_;
  target.choice.baudIndex = baudIndexOf(rate);
  rate_ = rate;
  const std::string where = base_.choice.useTcp ? base_.description : std::to_string(rate) + " baud";
  Session session(context_, target, options_.link.trace);
  if (CliResult<> opened = session.open(); !opened) return opened.failure();
  const int first = options_.addresses ? options_.addresses->first : 0;
  const int last = options_.addresses ? options_.addresses->second : 0;
  for (int address = first; address <= last; ++address, ++step_) {
    if (link().stopRequested()) return false;
    progress_.at(step_, where + (options_.addresses ? ", address " + std::to_string(address) : ""));
    if (options_.addresses) {
      askAddress(address, where);
      continue;
    }
    // The identification goes to address 0, which every instrument hears; its answer says
    // which address it answers from.
    const std::string type = link().ReadDeviceType(0);
    noteDamage(where);
    if (link().Status == StatusOk) report(type, link().answeredAddress().value_or(0), where);
  }
  return true;
}

CliFailure Scan::interrupted() const {
  CliFailure failure{kExitInterrupted, found_.empty() ? "interrupted; nothing found so far" : "interrupted; found so far:"};
  for (const std::string& line : found_) failure.advice.push_back("  " + line);
  return failure;
}

CliResult<int> Scan::end() {
  progress_.finish();
  if (link().stopRequested()) return interrupted();
  if (found_.empty() && !damaged_.empty()) {
    CliFailure failure{kExitDamaged, "something answers on " + base_.line + ", but its answers are damaged"};
    for (const std::string& at : damaged_) failure.advice.push_back("  at " + at);
    failure.advice.push_back("Check the wiring and the ground, and that no other device talks on the line.");
    return failure;
  }
  if (found_.empty()) return CliFailure{kExitNothingFound, "no instrument answered on " + base_.line};
  if (!options_.addresses && !base_.choice.useTcp) {
    context_.io.err << kComplaintPrefix << "other instruments may share " << base_.line
                    << ": each answers only to its own address. To look for them, scan it by address at that "
                    << "rate: ... --baud " << foundRate_ << " scan --addresses 1-32\n";
  }
  return kExitOk;
}

// "about 70 s": what a scan of `count` silent steps costs, each one attempt of a first-byte budget.
std::string expectedTime(const Tmod07& link, bool tcp, size_t count) {
  const unsigned pollMs = tcp ? kPollSleepMs : kPollSleepMs + 25;  // a serial poll waits 25 ms itself
  const size_t ms = count * link.exchangeBudget().firstBytePolls * pollMs;
  return ms < 2000 ? "about " + std::to_string(ms) + " ms" : "about " + std::to_string((ms + 500) / 1000) + " s";
}

}  // namespace

CommandResult runScan(const CliOptions& options, const Context& context) {
  const CliResult<Target> resolved = resolveTarget(options.link, context.link);
  if (!resolved) return resolved.failure();
  const Target& base = *resolved;
  ShortTimeouts timeouts(context.link);
  // Over TCP there is no rate to find; a serial line without --addresses tries every rate.
  std::vector<int32_t> rates;
  if (!base.choice.useTcp && !options.addresses) {
    for (size_t entry : kScanOrder) rates.push_back(BaudRates[entry]);
  } else {
    rates.push_back(baudRateAt(base.choice.baudIndex));
  }
  const size_t addresses = options.addresses ? options.addresses->second - options.addresses->first + 1 : 1;
  if (addresses > 8) {
    context.io.err << kComplaintPrefix << "asking " << addresses << " addresses takes "
                   << expectedTime(context.link, base.choice.useTcp, addresses)
                   << " where none answers; Ctrl+C stops and lists what was found\n";
  }
  Scan scan(context, options, base, rates.size() * addresses);
  for (int32_t rate : rates) {
    const CliResult<bool> went = scan.atRate(rate);
    if (!went) return went.failure();
    if (!*went) break;
  }
  return scan.end();
}

}  // namespace netsetup::cli
