// scan: finds an instrument whose rate and address nobody wrote down.
#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <vector>

#include "actions/Steps.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitCodes.h"
#include "cli/Progress.h"
#include "cli/Session.h"
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

CliFailure interruptedWith(const std::vector<std::string>& found) {
  return {kExitInterrupted, found.empty() ? "interrupted; nothing found so far" : "interrupted; found so far:", "",
          [&] {
            std::vector<std::string> lines;
            for (const std::string& line : found) lines.push_back("  " + line);
            return lines;
          }()};
}

}  // namespace

CommandResult runScan(const CliOptions& options, const Context& context) {
  Tmod07& link = context.link;
  const Io io = context.io;
  const CliResult<Target> resolved = resolveTarget(options.link, link);
  if (!resolved) return resolved.failure();
  const Target& base = *resolved;
  ShortTimeouts timeouts(link);
  std::vector<std::string> found;
  const auto report = [&](Progress& progress, const std::string& line) {
    found.push_back(line);
    progress.finish();  // the bar gives way to the result
    io.out << "found " << line << '\n';
    io.out.flush();
  };

  // Over TCP there is no rate to find; a serial line without --addresses tries every rate.
  const bool byRate = !base.choice.useTcp && !options.addresses;
  std::vector<int32_t> rates;
  if (byRate) {
    for (size_t entry : kScanOrder) rates.push_back(BaudRates[entry]);
  } else {
    rates.push_back(baudRateAt(base.choice.baudIndex));
  }
  const int first = options.addresses ? options.addresses->first : 0;
  const int last = options.addresses ? options.addresses->second : 0;
  Progress progress(io.err, errorIsTerminal(), "scan", rates.size() * static_cast<size_t>(last - first + 1));

  size_t step = 0;
  std::set<uint8_t> reported;  // by address, on a line of several instruments
  for (int32_t rate : rates) {
    Target target = base;
    target.choice.baudIndex = baudIndexOf(rate);
    const std::string where = base.choice.useTcp ? base.description : std::to_string(rate) + " baud";
    const auto show = [&](const std::string& type, uint8_t from) {
      report(progress, "\"" + visibleBytes(type) + "\" at " + where + ", address " + std::to_string(from));
    };
    Session session(context, target, options.link.trace);
    if (CliResult<> opened = session.open(); !opened) return opened.failure();
    for (int address = first; address <= last; ++address, ++step) {
      if (link.stopRequested()) {
        progress.finish();
        return interruptedWith(found);
      }
      progress.at(step, where + (options.addresses ? ", address " + std::to_string(address) : ""));
      if (!options.addresses) {
        // The identification goes to address 0, which every instrument hears; its answer says
        // which address it answers from.
        const std::string type = link.ReadDeviceType(0);
        if (link.Status == StatusOk) show(type, link.answeredAddress().value_or(0));
        continue;
      }
      // On a line shared by several instruments each address is asked for a byte of its own.
      // Whoever answers says its own address (a request to 0 is answered by one of the others),
      // and each instrument is reported once, by that address.
      uint8_t byte = 0;
      link.ReadMemory(static_cast<uint8_t>(address), kSettingsAreaAddress, &byte, 1);
      const std::optional<uint8_t> from = link.answeredAddress();
      if (link.Status != StatusOk || !from || !reported.insert(*from).second) continue;
      const std::string type = link.ReadDeviceType(*from);
      show(link.Status == StatusOk ? type : std::string("?"), *from);
    }
  }
  progress.finish();
  if (link.stopRequested()) return interruptedWith(found);
  if (found.empty()) return CliFailure{kExitNothingFound, "no instrument answered on " + base.line};
  return kExitOk;
}

}  // namespace netsetup::cli
