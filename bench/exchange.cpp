// Times identification exchanges and settings-area reads against the in-process simulator, over
// TCP loopback and over a pseudo-terminal. Usage: bench_exchange [exchanges, default 200]
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Instrument.h"
#include "InstrumentBus.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "link/StatusCode.h"
#include "link/Umod07.h"

namespace netsetup {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kInstrumentAddress = 1;
constexpr uint8_t kPtyPortNumber = 1;
constexpr uint16_t kAreaStart = 0x0620;
constexpr unsigned kAreaChunks = 5, kChunkSize = 40;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Summary {
  size_t runs = 0;
  size_t failures = 0;  // a run that failed ends its series, so a dead line cannot take minutes
  int lastStatus = StatusOk;
  std::vector<double> ms;
};

// Nearest-rank percentile of sorted samples.
double percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  const size_t rank = static_cast<size_t>(p / 100.0 * static_cast<double>(sorted.size()) + 0.999999);
  return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

// Runs `once` up to `runs` times; it returns the link's status after its work.
Summary measure(size_t runs, const std::function<int()>& once) {
  Summary s;
  for (; s.runs < runs; ++s.runs) {
    const auto start = Clock::now();
    const int status = once();
    s.ms.push_back(msSince(start));
    if (status != StatusOk) {
      ++s.failures;
      s.lastStatus = status;
      ++s.runs;
      break;
    }
  }
  std::sort(s.ms.begin(), s.ms.end());
  return s;
}

void print(const char* transport, const char* what, const Summary& s) {
  std::printf("%-5s %-26s %5zu  %8.3f  %8.3f  %8.3f", transport, what, s.runs, percentile(s.ms, 50),
              percentile(s.ms, 90), s.ms.empty() ? 0.0 : s.ms.back());
  if (s.failures > 0) std::printf("  FAILED with status %d", s.lastStatus);
  std::printf("\n");
}

int identify(Tmod07& link) {
  const std::string type = link.ReadDeviceType(0);
  if (link.Status == StatusOk && type.empty()) return -1;
  return link.Status;
}

int readArea(Tmod07& link) {
  uint8_t area[kAreaChunks * kChunkSize];
  for (unsigned k = 0; k < kAreaChunks; ++k) {
    link.ReadMemory(kInstrumentAddress, static_cast<uint16_t>(kAreaStart + k * kChunkSize),
                    &area[k * kChunkSize], kChunkSize);
    if (link.Status != StatusOk) return link.Status;
  }
  return StatusOk;
}

// One transport: exchanges on a link opened once, area reads, then whole open-identify-close
// cycles. Returns false when anything failed.
bool runTransport(const char* name, Tmod07& link, size_t exchanges) {
  if (!link.Open(kPtyPortNumber, 115200)) {
    std::printf("%-5s open failed with status %d\n", name, link.Status);
    return false;
  }
  identify(link);  // the first exchange pays for connection warm-up; not counted
  const Summary exchange = measure(exchanges, [&] { return identify(link); });
  const Summary area = measure(std::max<size_t>(exchanges / 10, 5), [&] { return readArea(link); });
  link.Close();
  const Summary cycle = measure(std::max<size_t>(exchanges / 4, 5), [&] {
    if (!link.Open(kPtyPortNumber, 115200)) return link.Status;
    const int status = identify(link);
    link.Close();
    return status;
  });
  print(name, "identify (open link)", exchange);
  print(name, "5 x 40-byte area read", area);
  print(name, "open + identify + close", cycle);
  return exchange.failures + area.failures + cycle.failures == 0;
}

int run(size_t exchanges) {
  InstrumentBus bus;
  bus.add(std::make_unique<Instrument>(kInstrumentAddress));

  TcpServer tcp(bus);
  if (const Result<void> opened = tcp.open("127.0.0.1", 0); !opened) {
    std::fprintf(stderr, "tcp server: %s\n", opened.failure().text().c_str());
    return 1;
  }
  std::string folder = (std::filesystem::temp_directory_path() / "bench-exchange-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string linkPath = folder + "/line";
  PtyServer pty(bus);
  if (const Result<void> opened = pty.open(linkPath); !opened) {
    std::fprintf(stderr, "pty server: %s\n", opened.failure().text().c_str());
    std::filesystem::remove_all(folder);
    return 1;
  }
  tcp.start();
  pty.start();

  std::printf("%zu exchanges per series, times in ms\n", exchanges);
  std::printf("%-5s %-26s %5s  %8s  %8s  %8s\n", "line", "operation", "runs", "median", "p90", "max");
  bool ok = true;
  {
    Tmod07 link;
    link.SetUseTcp(true);
    link.SetHost("127.0.0.1");
    link.SetTcpPort(tcp.port());
    ok = runTransport("tcp", link, exchanges) && ok;
  }
  {
    Tmod07 link;
    link.portMap().set(kPtyPortNumber, linkPath);
    ok = runTransport("pty", link, exchanges) && ok;
  }
  pty.stop();
  tcp.stop();
  std::filesystem::remove_all(folder);
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace netsetup

int main(int argc, char** argv) {
  size_t exchanges = 200;
  if (argc > 1) {
    char* end = nullptr;
    const unsigned long n = std::strtoul(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || n == 0 || n > 100000) {
      std::fprintf(stderr, "usage: %s [exchanges, 1..100000]\n", argv[0]);
      return 2;
    }
    exchanges = n;
  }
  return netsetup::run(exchanges);
}
