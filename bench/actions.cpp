// Times the window's Read and Write actions against a running simulator, on any platform:
//   bench_actions tcp 127.0.0.1:PORT [runs]      bench_actions serial COM5 [runs] [--baud RATE]
// (on Linux, "serial" takes a device path too). Each Write stores the record it just read, so
// the instrument ends as it began. Prints the median, the 90th percentile and the slowest run,
// and what an action costs beyond the line: with --baud (the rate the simulator paces its
// answers at, which the link is also set to), the answers' own time on such a line and the
// median as a multiple of it; per exchange, the median time beyond that (over TCP: all of it).
// bench/actions.sh runs it on both lines, on Linux and under wine.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "actions/Actions.h"
#include "link/LinkObserver.h"
#include "link/Umod07.h"

namespace {

using namespace netsetup;
using Clock = std::chrono::steady_clock;

// Counts what crosses the line: the exchanges, and the answers' bytes (noise included).
class LineCount final : public LinkObserver {
 public:
  void requestSent(const uint8_t*, size_t, uint32_t) override { ++exchanges; }
  void responseEnded(const uint8_t*, size_t length, size_t discarded, int32_t) override {
    answerBytes += length + discarded;
  }
  size_t exchanges = 0, answerBytes = 0;
};

struct Series {
  std::vector<double> ms;
  int failures = 0;
  LineCount line;
};

void report(const char* what, Series s, int runs, int baud) {
  std::sort(s.ms.begin(), s.ms.end());
  const auto at = [&](double p) { return s.ms[std::min(s.ms.size() - 1, static_cast<size_t>(p * s.ms.size()))]; };
  const double median = at(0.5);
  std::printf("%-6s runs %3zu  failed %d  median %7.2f ms  p90 %7.2f ms  max %7.2f ms\n", what, s.ms.size(),
              s.failures, median, at(0.9), s.ms.back());
  const double exchanges = static_cast<double>(s.line.exchanges) / runs;
  const double bytes = static_cast<double>(s.line.answerBytes) / runs;
  const double lineMs = baud > 0 ? bytes * 10 * 1000 / baud : 0;  // 10 bits a byte
  if (baud > 0) {
    std::printf("       %.0f exchanges, %.0f answer bytes: %.2f ms on the line at %d baud; median %.2fx of it\n",
                exchanges, bytes, lineMs, baud, median / lineMs);
  }
  std::printf("       %.2f ms per exchange beyond the line\n", (median - lineMs) / exchanges);
}

int usage() {
  std::fprintf(stderr, "usage: bench_actions tcp HOST:PORT [runs] | serial COMn|DEVICE [runs] [--baud RATE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int baud = 0;
  if (args.size() >= 2 && args[args.size() - 2] == "--baud") {
    baud = std::atoi(args.back().c_str());
    args.resize(args.size() - 2);
  }
  if (args.size() < 2) return usage();
  const std::string kind = args[0], where = args[1];
  const int runs = args.size() > 2 ? std::atoi(args[2].c_str()) : 20;
  const auto rate = std::find(BaudRates.begin(), BaudRates.end(), baud);
  if (runs <= 0 || (kind != "tcp" && kind != "serial") || (baud != 0 && rate == BaudRates.end())) return usage();

  Tmod07 link;
  LinkChoice choice;
  choice.baudIndex = baud ? static_cast<int>(rate - BaudRates.begin()) : 0;
  if (kind == "tcp") {
    const size_t colon = where.find(':');
    if (colon == std::string::npos) return usage();
    choice.useTcp = true;
    choice.host = where.substr(0, colon);
    choice.tcpPortText = where.substr(colon + 1);
  } else if (where.rfind("COM", 0) == 0) {
    choice.portIndex = std::atoi(where.c_str() + 3) - 1;
  } else {
    link.portMap().set(1, where);
    choice.portIndex = 0;
  }

  Series reads, writes;
  const auto timed = [&](Series& series, auto action) {
    link.setObserver(&series.line);
    const auto start = Clock::now();
    const ActionOutcome outcome = action();
    series.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    link.setObserver(nullptr);
    if (outcome.kind != ActionOutcome::Kind::Done) ++series.failures;
    return outcome;
  };
  for (int i = 0; i < runs; ++i) {
    const ActionOutcome read = timed(reads, [&] { return readAction(link, choice, "1"); });
    if (read.kind != ActionOutcome::Kind::Done) {
      std::fprintf(stderr, "read: %s\n", read.text.c_str());
      continue;
    }
    const ActionOutcome written = timed(writes, [&] { return writeAction(link, choice, "1", read.fields); });
    if (written.kind != ActionOutcome::Kind::Done) std::fprintf(stderr, "write: %s\n", written.text.c_str());
  }
  report("Read", reads, runs, baud);
  if (!writes.ms.empty()) report("Write", writes, static_cast<int>(writes.ms.size()), baud);
  return reads.failures + writes.failures == 0 ? 0 : 1;
}
