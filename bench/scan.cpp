// Times `netsetup-cli scan` on a pseudo-terminal whose instrument hears only its own rate, for
// each rate in turn: the last rate the scan tries is its worst case.
//   bench_scan [runs per rate, default 3]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "Instrument.h"
#include "InstrumentBus.h"
#include "PtyServer.h"
#include "cli/Commands.h"

using namespace netsetup;

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  const std::string link = (std::filesystem::temp_directory_path() / "netsetup-bench-scan").string();
  std::printf("scan of one serial line, instrument at address 23; %d runs per rate\n", runs);
  for (int32_t rate : {9600, 19200, 115200, 57600, 38400, 28800}) {
    InstrumentBus bus;
    bus.add(std::make_unique<Instrument>(23));
    LineTiming timing;
    timing.baud = rate;
    timing.strictRate = true;
    PtyServer pty(bus, timing);
    if (const Result<void> opened = pty.open(link); !opened) {
      std::fprintf(stderr, "%s\n", opened.failure().text().c_str());
      return 1;
    }
    pty.start();
    double worst = 0, total = 0;
    for (int i = 0; i < runs; ++i) {
      std::ostringstream out, err;
      Tmod07 tmod;
      const auto start = std::chrono::steady_clock::now();
      const int exit = cli::runCli({"--serial", link, "scan"}, tmod, cli::Io{out, err});
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (exit != 0 || out.str().find("address 23") == std::string::npos) {
        std::fprintf(stderr, "scan failed at %d baud: %s%s", rate, out.str().c_str(), err.str().c_str());
        return 1;
      }
      worst = std::max(worst, s);
      total += s;
    }
    std::printf("instrument at %6d baud: found, whole scan %.2f s mean, %.2f s worst\n", rate, total / runs, worst);
    pty.stop();
  }
  return 0;
}
