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

  std::unique_ptr<Transcript> transcript;
  if (!options.quiet) {
    if (options.logFile.empty() || options.logFile == "-") {
      transcript = std::make_unique<Transcript>(stderr);
    } else {
      Result<std::unique_ptr<Transcript>> opened = Transcript::openFile(options.logFile);
      if (!opened) return fail(opened.failure().text());
      transcript = std::move(opened).value();
    }
  }

  InstrumentBus bus(transcript.get());
  std::vector<uint8_t> addresses = options.addresses;
  if (addresses.empty()) addresses.push_back(1);
  for (uint8_t address : addresses) {
    auto instrument = std::make_unique<Instrument>(address);
    instrument->setTypeString(options.typeString);
    instrument->faults() = options.faults;
    if (!options.memoryFile.empty()) {
      const Result<void> loaded = loadMemoryImage(options.memoryFile, instrument->memory());
      if (!loaded) return fail(loaded.failure().text());
    }
    std::string stateFile = options.stateFile;
    if (!stateFile.empty() && addresses.size() > 1) stateFile += "." + std::to_string(address);
    if (!stateFile.empty() && fileExists(stateFile)) {
      const Result<void> loaded = loadMemoryImage(stateFile, instrument->memory());
      if (!loaded) return fail(loaded.failure().text());
    }
    bus.add(std::move(instrument), stateFile);
  }

  // Block the stop signals before any server thread exists, so that only sigwait sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<TcpServer> tcp;
  std::unique_ptr<PtyServer> pty;
  if (options.serveTcp) {
    tcp = std::make_unique<TcpServer>(bus, options.timing);
    const Result<void> opened = tcp->open(options.tcpHost, options.tcpPort);
    if (!opened) return fail(opened.failure().text());
    std::printf("tcp %s\n", tcp->endpoint().c_str());
  }
  if (!options.ptyLink.empty()) {
    pty = std::make_unique<PtyServer>(bus, options.timing);
    const Result<void> opened = pty->open(options.ptyLink);
    if (!opened) return fail(opened.failure().text());
    std::printf("pty %s -> %s\n", pty->linkPath().c_str(), pty->slavePath().c_str());
  }
  std::fflush(stdout);

  if (tcp) tcp->start();
  if (pty) pty->start();
  int received = 0;
  sigwait(&stopSignals, &received);
  bus.note("sim", received == SIGINT ? "SIGINT: stopping" : "SIGTERM: stopping");
  if (pty) pty->stop();
  if (tcp) tcp->stop();
  return 0;
}
