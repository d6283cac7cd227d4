// Times the window's Read and Write actions against a running simulator, on any platform:
//   bench_actions tcp 127.0.0.1:PORT [runs]      bench_actions serial COM5 [runs]
// (on Linux, "serial" takes a device path too). Each Write stores the record it just read, so
// the instrument ends as it began. Prints the median, the 90th percentile and the slowest run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "actions/Actions.h"
#include "link/Umod07.h"

namespace {

using namespace netsetup;
using Clock = std::chrono::steady_clock;

void report(const char* what, std::vector<double> ms, int failures) {
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double p) { return ms[std::min(ms.size() - 1, static_cast<size_t>(p * ms.size()))]; };
  std::printf("%-6s runs %3zu  failed %d  median %7.2f ms  p90 %7.2f ms  max %7.2f ms\n", what, ms.size(), failures,
              at(0.5), at(0.9), ms.back());
}

int usage() {
  std::fprintf(stderr, "usage: bench_actions tcp HOST:PORT [runs] | serial COMn|DEVICE [runs]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string kind = argv[1], where = argv[2];
  const int runs = argc > 3 ? std::atoi(argv[3]) : 20;
  if (runs <= 0 || (kind != "tcp" && kind != "serial")) return usage();

  Tmod07 link;
  LinkChoice choice;
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

  std::vector<double> reads, writes;
  int readFailures = 0, writeFailures = 0;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    const ActionOutcome read = readAction(link, choice, "1");
    reads.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (read.kind != ActionOutcome::Kind::Done) {
      ++readFailures;
      std::fprintf(stderr, "read: %s\n", read.text.c_str());
      continue;
    }
    start = Clock::now();
    const ActionOutcome written = writeAction(link, choice, "1", read.fields);
    writes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (written.kind != ActionOutcome::Kind::Done) {
      ++writeFailures;
      std::fprintf(stderr, "write: %s\n", written.text.c_str());
    }
  }
  report("Read", reads, readFailures);
  if (!writes.empty()) report("Write", writes, writeFailures);
  return readFailures + writeFailures == 0 ? 0 : 1;
}
