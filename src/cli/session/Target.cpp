#include "cli/session/Target.h"

#include "cli/console/Files.h"
#include "cli/console/ShellWords.h"
#include "config/SettingsFile.h"
#include "link/HostName.h"
#include "text/ComPortName.h"
#include "text/Ipv4Text.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// "COM3 (/dev/ttyUSB2)", or the device alone when it was named by its path.
std::string portName(const Tmod07& link, const LinkChoice& choice, bool named) {
  const unsigned number = static_cast<unsigned>(choice.portIndex + 1);
  const std::string device = link.portMap().device(number);
  std::string text = named ? device : "COM" + std::to_string(number);
  if (!named && !device.empty() && device.find(text) == std::string::npos) text += " (" + device + ")";
  return text;
}

// The window keeps a TCP host only when it is a dotted address and otherwise reports no host
// at all; taken from its file here, the file's own value is named instead.
Result<void> checkSettingsHost(const std::string& file, const std::string& host) {
  const std::string rule = "(the window's TCP host must be one, e.g. 192.168.0.5): correct it there, or give --tcp HOST";
  if (host.empty()) return Failure{"the settings file " + file + " chooses TCP (UseIP=1) but sets no SockIP " + rule};
  if (parseDottedHost(host)) return {};
  return Failure{"the settings file " + file + " sets SockIP=" + visibleText(host) +
                 ", which is not a dotted IPv4 address " + rule};
}

}  // namespace

CliResult<Target> resolveTarget(const LinkOptions& options, Tmod07& link) {
  Target target;
  if (!options.settingsFile.empty()) {
    if (const Result<std::string> text = readTextFile(options.settingsFile, "the settings file"); !text) {
      return CliFailure::of(kExitUsage, text.failure());
    }
    const SettingsFile file(options.settingsFile);
    const LinkSettings s = file.load();
    target.choice = {s.useIp, s.port, s.baud, s.sockIp, s.sockPort};
    link.portMap() = file.portMap();
  } else {
    target.choice.tcpPortText = std::to_string(kDefaultTcpPort);
  }
  const unsigned comNumber = comPortNumber(options.serial);
  const bool isPath = !options.serial.empty() && comNumber == 0;
  if (!options.serial.empty()) {
    target.choice.useTcp = false;
    if (!isPath) {
      target.choice.portIndex = static_cast<int>(comNumber) - 1;
    } else {
      link.portMap().set(1, options.serial);  // a device path goes behind COM1 for this run
      target.choice.portIndex = 0;
    }
  }
  if (options.baud) target.choice.baudIndex = baudIndexOf(*options.baud);
  if (!options.tcpHost.empty()) {
    target.choice.useTcp = true;
    target.choice.host = options.tcpHost;
    target.choice.tcpPortText = std::to_string(options.tcpPort.value_or(kDefaultTcpPort));
    if (!tryParseIpv4(options.tcpHost)) {  // a name: the link takes only a dotted address
      const Result<Ipv4Octets> address = resolveHostName(options.tcpHost);
      if (!address) return CliFailure::of(kExitLink, address.failure());
      target.hostName = options.tcpHost;
      target.choice.host = formatIpv4(*address);
    }
  }
  if (target.choice.useTcp && options.tcpHost.empty() && !options.settingsFile.empty()) {
    if (Result<void> host = checkSettingsHost(options.settingsFile, target.choice.host); !host) {
      return CliFailure::of(kExitUsage, host.failure());
    }
  }
  target.address = options.address.value_or(1);
  target.arguments = linkArguments(options, target.address);
  const std::string port = ":" + target.choice.tcpPortText;
  if (target.choice.useTcp) {
    // By the name it was given, with the address it stands for now.
    target.where = (target.hostName.empty() ? target.choice.host : target.hostName) + port;
    target.line = target.description =
        "TCP " + target.where + (target.hostName.empty() ? "" : " (" + target.choice.host + ")");
  } else {
    target.line = portName(link, target.choice, isPath);
    target.description = target.line + " at " + std::to_string(baudRateAt(target.choice.baudIndex)) + " baud";
    target.where = link.portMap().device(static_cast<unsigned>(target.choice.portIndex + 1));
  }
  target.instrument = target.where + " address " + std::to_string(target.address);
  target.waitSeconds = options.waitSeconds;
  target.timeoutMs = options.timeoutMs;
  return target;
}

CliResult<> writableAddress(const Target& target, bool broadcast) {
  if (target.address != 0 || broadcast) return {};
  return CliFailure{kExitUsage, "address 0 is heard by every instrument on " + target.line +
                                    ": a write there changes all of them. Give --broadcast if that is meant; "
                                    "nothing was written"};
}

std::string linkFileName(const std::string& where) {
  return fileNamePart(where.substr(where.find_last_of("/\\") + 1));
}

std::string linkArguments(const LinkOptions& options, uint8_t address, Shell shell) {
  std::string out;
  const auto add = [&](std::string_view option, const std::string& value) {
    out.append(out.empty() ? "" : " ").append(option).append(" ").append(shellWord(value, shell));
  };
  if (!options.settingsFile.empty()) add("--settings", options.settingsFile);
  if (!options.serial.empty()) add("--serial", options.serial);
  if (options.baud) add("--baud", std::to_string(*options.baud));
  if (!options.tcpHost.empty()) {
    add("--tcp", options.tcpHost + (options.tcpPort ? ":" + std::to_string(*options.tcpPort) : ""));
  }
  add("--address", std::to_string(address));
  return out;
}

}  // namespace netsetup::cli
