// netsetup-sim: the instrument stand-in, on TCP and/or a pseudo-terminal.
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "InstrumentBus.h"
#include "PtyServer.h"
#include "SimOptions.h"
#include "TcpServer.h"
#include "Transcript.h"

using namespace netsetup;

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "netsetup-sim: %s\n", message.c_str());
  return 1;
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// The transcript the options ask for: none when quiet, standard error, or a file.
Result<std::unique_ptr<Transcript>> openTranscript(const SimOptions& options) {
  if (options.quiet) return std::unique_ptr<Transcript>();
  if (options.logFile.empty() || options.logFile == "-") return std::make_unique<Transcript>(stderr);
  return Transcript::openFile(options.logFile);
}

// One instrument per address (1 when none is given), its memory from the image and then from
// its state file when that exists (one per address when there are several).
Result<void> addInstruments(InstrumentBus& bus, const SimOptions& options) {
  std::vector<uint8_t> addresses = options.addresses;
  if (addresses.empty()) addresses.push_back(1);
  for (uint8_t address : addresses) {
    auto instrument = std::make_unique<Instrument>(address);
    instrument->setTypeString(options.typeString);
    instrument->faults() = options.faults;
    if (!options.memoryFile.empty()) {
      const Result<void> loaded = loadMemoryImage(options.memoryFile, instrument->memory());
      if (!loaded) return loaded.failure();
    }
    std::string stateFile = options.stateFile;
    if (!stateFile.empty() && addresses.size() > 1) stateFile += "." + std::to_string(address);
    if (!stateFile.empty() && fileExists(stateFile)) {
      const Result<void> loaded = loadMemoryImage(stateFile, instrument->memory());
      if (!loaded) return loaded.failure();
    }
    bus.add(std::move(instrument), stateFile);
  }
  return {};
}

// Blocks the stop signals before any server thread exists, so that only sigwait sees them.
sigset_t blockStopSignals() {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return stopSignals;
}

struct Servers {
  std::unique_ptr<TcpServer> tcp;
  std::unique_ptr<PtyServer> pty;
};

// The servers the options ask for, open, each said on standard output with where it listens.
Result<Servers> openServers(InstrumentBus& bus, const SimOptions& options) {
  Servers servers;
  if (options.serveTcp) {
    servers.tcp = std::make_unique<TcpServer>(bus, options.timing);
    const Result<void> opened = servers.tcp->open(options.tcpHost, options.tcpPort);
    if (!opened) return opened.failure();
    std::printf("tcp %s\n", servers.tcp->endpoint().c_str());
  }
  if (!options.ptyLink.empty()) {
    servers.pty = std::make_unique<PtyServer>(bus, options.timing);
    const Result<void> opened = servers.pty->open(options.ptyLink);
    if (!opened) return opened.failure();
    std::printf("pty %s -> %s\n", servers.pty->linkPath().c_str(), servers.pty->slavePath().c_str());
  }
  std::fflush(stdout);
  return servers;
}

}  // namespace

int main(int argc, char** argv) {
  // Whatever else the line holds, as the window and netsetup-cli answer it.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) return std::printf("netsetup-sim %s\n", NETSETUP_VERSION) < 0;
  }
  const Result<SimOptions> parsed = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed) return fail(parsed.failure().text());
  const SimOptions& options = *parsed;
  if (options.help) {
    std::fputs(simHelpText().c_str(), stdout);
    return 0;
  }
  Result<std::unique_ptr<Transcript>> transcript = openTranscript(options);
  if (!transcript) return fail(transcript.failure().text());
  InstrumentBus bus(transcript->get());
  if (const Result<void> added = addInstruments(bus, options); !added) return fail(added.failure().text());

  sigset_t stopSignals = blockStopSignals();
  Result<Servers> servers = openServers(bus, options);
  if (!servers) return fail(servers.failure().text());
  if (servers->tcp) servers->tcp->start();
  if (servers->pty) servers->pty->start();
  int received = 0;
  sigwait(&stopSignals, &received);
  bus.note("sim", received == SIGINT ? "SIGINT: stopping" : "SIGTERM: stopping");
  if (servers->pty) servers->pty->stop();
  if (servers->tcp) servers->tcp->stop();
  return 0;
}
