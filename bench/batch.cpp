// Times `netsetup-cli batch` commissioning N instruments (default 50) that share one simulated
// TCP line, each row changing three fields, then a second run that finds every row done.
//   bench_batch [rows]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Instrument.h"
#include "InstrumentBus.h"
#include "TcpServer.h"
#include "cli/Commands.h"

using namespace netsetup;

namespace {

double runBatch(const std::string& worklist, const std::string& report, int& exit) {
  std::ostringstream out, err;
  Tmod07 link;
  const auto start = std::chrono::steady_clock::now();
  exit = cli::runCli({"batch", worklist, "--report", report}, link, cli::Io{out, err});
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 50;
  if (rows < 1 || rows > 255) return 2;
  InstrumentBus bus;
  for (int a = 1; a <= rows; ++a) bus.add(std::make_unique<Instrument>(static_cast<uint8_t>(a)));
  TcpServer tcp(bus);
  if (!tcp.open("127.0.0.1", 0)) return 1;
  tcp.start();

  const auto dir = std::filesystem::temp_directory_path() / "netsetup-bench-batch";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string worklist = (dir / "work.csv").string(), report = (dir / "report.csv").string();
  {
    std::ofstream csv(worklist);
    csv << "name,tcp,address,server,server_port,apn\n";
    for (int a = 1; a <= rows; ++a) {
      csv << "unit " << a << ",127.0.0.1:" << tcp.port() << "," << a << ",new.example.org," << 6000 + a << ",apn" << a
          << "\n";
    }
  }
  int exit = 0;
  const double first = runBatch(worklist, report, exit);
  if (exit != 0) return 1;
  const double again = runBatch(worklist, report, exit);
  std::printf("batch of %d rows over TCP: %.3f s (%.1f ms a row: identify, read, back up, write, verify)\n", rows,
              first, 1000 * first / rows);
  std::printf("the same worklist again, every row already done: %.3f s\n", again);
  tcp.stop();
  std::filesystem::remove_all(dir);
  return exit;
}
