// Soak: many Read and Write actions, each under a fault drawn at random from the fault matrix
// (tests/support/FaultMatrix), over real TCP sockets and pseudo-terminals to in-process simulators,
// every outcome checked against the matrix's rules.
//   bench_soak [--seed N] [--actions N] [--workers N] [--tcp-only]
// To get through thousands of actions in minutes, the link's own waits are shortened
// (FirstByteTimeoutMs 100, ByteTimeoutMs 50, RetryCount 3) and its sleeper skips the pauses
// between attempts. The faults' timings follow the waits as they then play out, so every rule
// holds as the matrix states it. Exits non-zero when a rule broke or descriptors were left open.
#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "InstrumentBus.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "actions/Actions.h"
#include "link/Umod07.h"
#include "link/posix/SerialPort.h"
#include "netblock/NetworkCodec.h"
#include "support/FaultMatrix.h"

namespace netsetup {
namespace {

using namespace matrix;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kFirstByteTimeoutMs = 100, kByteTimeoutMs = 50, kRetryCount = 3;

// The soak's shorter limits, all within what the link accepts.
void shorten(Tmod07& link) {
  const bool accepted = link.setFirstByteTimeoutMs(kFirstByteTimeoutMs).ok() &&
                        link.setByteTimeoutMs(kByteTimeoutMs).ok() && link.setRetryCount(kRetryCount).ok();
  if (!accepted) {
    std::fprintf(stderr, "bench_soak: the link refuses the soak's limits\n");
    std::exit(2);
  }
}

// The pauses between attempts are plain sleeps; the waits for bytes are the transports' own.
class NoPauses final : public Sleeper {
 public:
  void sleepMs(unsigned) override {}
};

struct Options {
  uint64_t seed = 0;
  unsigned actions = 10000;
  unsigned workers = 32;
  bool serial = true;
};

unsigned openDescriptors() {
  unsigned count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (const dirent* entry = ::readdir(dir)) count += entry->d_name[0] != '.';
    ::closedir(dir);
    --count;  // the directory's own descriptor
  }
  return count;
}

long residentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

struct Tally {
  std::map<std::string, std::map<std::string, unsigned>> faults;  // row -> "Read Tcp" -> count
  std::map<std::string, unsigned> outcomes;
  std::vector<std::string> broken;

  void merge(const Tally& other) {
    for (const auto& [row, kinds] : other.faults) {
      for (const auto& [kind, n] : kinds) faults[row][kind] += n;
    }
    for (const auto& [text, n] : other.outcomes) outcomes[text] += n;
    broken.insert(broken.end(), other.broken.begin(), other.broken.end());
  }
};

SettingsArea areaOf(const InstrumentMemory& memory) {
  SettingsArea area;
  std::copy_n(memory.begin() + kSettingsAreaAddress, area.size(), area.begin());
  return area;
}

// One engineer at one instrument: a link of its own, the instrument's memory carried from
// action to action, and a fresh simulator for each action, so that no answer still on its way
// from one fault can reach the next action.
class Worker {
 public:
  Worker(uint64_t seed, const Options& options, std::atomic<unsigned>& done)
      : random_(seed), options_(options), done_(done), link_(*factory_, sleeper_) {
    shorten(link_);
    budgets_[0] = budgetOf(link_, Tmod07::kPollSleepMs, false);
    budgets_[1] = budgetOf(link_, Tmod07::kPollSleepMs + SerialPort::kReadTimeoutMs, false);
    shown_ = decodeNetworkSettings(areaOf(memory_));
  }

  void run(unsigned actions) {
    for (unsigned i = 0; i < actions; ++i) {
      act();
      ++done_;
    }
  }

  Tally tally;

 private:
  void act() {
    const Row& row = rows()[pick(rows().size())];
    std::vector<std::pair<Action, Line>> cases;
    for (Action a : {Action::Read, Action::Write}) {
      for (Line l : {Line::Tcp, Line::Serial}) {
        if (row.applies(a, l) && (options_.serial || l == Line::Tcp)) cases.emplace_back(a, l);
      }
    }
    if (cases.empty()) return act();
    const auto [action, line] = cases[pick(cases.size())];
    const SimSetup setup = row.setup(action, budgets_[line == Line::Serial]);

    InstrumentBus bus;
    Instrument& instrument = bus.add(std::make_unique<Instrument>());
    instrument.memory() = memory_;
    instrument.faults() = setup.faults;
    instrument.setTypeString(setup.typeString);
    LinkChoice choice;
    std::unique_ptr<TcpServer> tcp;
    std::unique_ptr<PtyServer> pty;
    Result<void> opened;
    if (line == Line::Tcp) {
      tcp = std::make_unique<TcpServer>(bus, setup.timing);
      opened = tcp->open("127.0.0.1", 0);
      tcp->start();
      choice.useTcp = true;
      choice.host = "127.0.0.1";
      choice.tcpPortText = std::to_string(tcp->port());
    } else {
      pty = std::make_unique<PtyServer>(bus, setup.timing);
      opened = pty->open("");
      pty->start();
      link_.portMap().set(1, pty->slavePath());
    }
    if (!opened) {
      tally.broken.push_back("simulator: " + opened.failure().text());
      return;
    }

    // Each Write stores what the instrument does not hold yet, so every block it reaches changes.
    Observed seen;
    seen.areaBefore = areaOf(memory_);
    const NetworkFields fresh = newFields();
    seen.written = decodeNetworkSettings(seen.areaBefore) == fresh ? decodeNetworkSettings(defaultSettingsArea()) : fresh;
    seen.fieldsBefore = shown_;
    const ActionOutcome outcome = action == Action::Read ? readAction(link_, choice, "1")
                                                         : writeAction(link_, choice, "1", seen.written);
    seen.linkOpen = link_.IsOpen;
    if (tcp) tcp->stop();
    if (pty) pty->stop();
    // As the window does: the fields change only when a Read ends without a message.
    if (action == Action::Read && outcome.kind == ActionOutcome::Kind::Done) shown_ = outcome.fields;
    seen.message = outcome.kind == ActionOutcome::Kind::Error ? "error: " + outcome.text : outcome.text;
    seen.fieldsAfter = shown_;
    memory_ = instrument.memory();
    seen.areaAfter = areaOf(memory_);
    seen.writeRequests = instrument.writeRequests();
    seen.lastWriteAddress = instrument.lastWriteAddress();

    const std::string kind = std::string(actionName(action)) + " " + lineName(line);
    ++tally.faults[row.name][kind];
    ++tally.outcomes[seen.message.empty() ? "(nothing shown)" : seen.message];
    for (const std::string& rule : brokenRules(row, action, setup, seen)) {
      tally.broken.push_back(row.name + " " + kind + " (netsetup-sim " + simOptions(setup) + "): " + rule);
    }
  }

  size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

  std::mt19937_64 random_;
  const Options& options_;
  std::atomic<unsigned>& done_;
  NoPauses sleeper_;
  std::unique_ptr<TransportFactory> factory_ = makePlatformTransportFactory();
  Tmod07 link_;
  Budget budgets_[2];
  InstrumentMemory memory_ = defaultMemory();
  NetworkFields shown_;
};

int usage() {
  std::fprintf(stderr, "usage: bench_soak [--seed N] [--actions N] [--workers N] [--tcp-only]\n");
  return 2;
}

}  // namespace
}  // namespace netsetup

int main(int argc, char** argv) {
  using namespace netsetup;
  Options options;
  options.seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool valued = i + 1 < argc;
    if (arg == "--seed" && valued) {
      options.seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--actions" && valued) {
      options.actions = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--workers" && valued) {
      options.workers = std::max(1u, static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10)));
    } else if (arg == "--tcp-only") {
      options.serial = false;
    } else {
      return usage();
    }
  }

  std::printf("seed %llu (bench_soak --seed %llu repeats the same draws)\n",
              static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(options.seed));
  std::printf("settings: %u actions on %u workers, lines %s; %zu faults\n", options.actions, options.workers,
              options.serial ? "TCP and pseudo-terminal" : "TCP", matrix::rows().size());
  std::printf("link shortened for the soak: FirstByteTimeoutMs %u, ByteTimeoutMs %u, RetryCount %u, no sleep "
              "in the pauses between attempts\n",
              kFirstByteTimeoutMs, kByteTimeoutMs, kRetryCount);
  {
    Tmod07 probe;
    shorten(probe);
    const auto tcp = matrix::budgetOf(probe, Tmod07::kPollSleepMs, false);
    const auto serial = matrix::budgetOf(probe, Tmod07::kPollSleepMs + SerialPort::kReadTimeoutMs, false);
    std::printf("  waits as they play out: TCP first byte %u ms, later bytes %u ms; serial %u ms, %u ms; "
                "the faults' timings follow them\n",
                tcp.firstByteMs, tcp.byteMs, serial.firstByteMs, serial.byteMs);
  }
  const unsigned fdsBefore = openDescriptors();
  const long rssBefore = residentKiB();
  std::printf("start: %u open descriptors, VmRSS %ld KiB\n", fdsBefore, rssBefore);
  std::fflush(stdout);

  std::atomic<unsigned> done{0};
  std::vector<std::unique_ptr<Worker>> workers;
  std::vector<std::thread> threads;
  const auto start = Clock::now();
  for (unsigned w = 0; w < options.workers; ++w) {
    const unsigned share = options.actions / options.workers + (w < options.actions % options.workers);
    workers.push_back(std::make_unique<Worker>(options.seed + w, options, done));
    threads.emplace_back([&worker = *workers.back(), share] { worker.run(share); });
  }
  // The first thousand actions settle the allocator's per-thread pools; growth after that would be a leak.
  long rssSettled = -1;
  for (unsigned reported = 0; done < options.actions;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (done >= reported + 1000 || done == options.actions) {
      reported = done / 1000 * 1000;
      const double s = std::chrono::duration<double>(Clock::now() - start).count();
      const long rss = residentKiB();
      if (rssSettled < 0) rssSettled = rss;
      std::printf("  %5u actions, %6.1f s, %.1f actions/s, %u descriptors, VmRSS %ld KiB\n", done.load(), s,
                  done / s, openDescriptors(), rss);
      std::fflush(stdout);
    }
  }
  for (std::thread& t : threads) t.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  Tally total;
  for (const auto& worker : workers) total.merge(worker->tally);
  workers.clear();
  const unsigned fdsAfter = openDescriptors();
  const long rssAfter = residentKiB();
  std::printf("done: %u actions in %.1f s, %.1f actions/s\n", options.actions, seconds, options.actions / seconds);
  std::printf("end: %u open descriptors (%+d), VmRSS %ld KiB (%+ld KiB since the start, %+ld KiB since the "
              "first thousand actions)\n",
              fdsAfter, static_cast<int>(fdsAfter) - static_cast<int>(fdsBefore), rssAfter, rssAfter - rssBefore,
              rssAfter - rssSettled);

  std::printf("faults (Read/Write over Tcp/Serial):\n");
  for (const matrix::Row& row : matrix::rows()) {
    const auto& kinds = total.faults[row.name];
    unsigned all = 0;
    std::string detail;
    for (const auto& [kind, n] : kinds) {
      all += n;
      detail += "  " + kind + " " + std::to_string(n);
    }
    std::printf("  %-26s %5u %s\n", row.name.c_str(), all, detail.c_str());
  }
  std::printf("outcomes:\n");
  for (const auto& [text, n] : total.outcomes) std::printf("  %5u  %s\n", n, text.c_str());
  std::printf("rules broken: %zu\n", total.broken.size());
  for (const std::string& b : total.broken) std::printf("  %s\n", b.c_str());
  const bool leaked = fdsAfter > fdsBefore;
  if (leaked) std::printf("descriptors grew by %u\n", fdsAfter - fdsBefore);
  return total.broken.empty() && !leaked ? 0 : 1;
}
