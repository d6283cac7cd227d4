#include "cli/Session.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "actions/Steps.h"
#include "cli/ExitCodes.h"
#include "cli/Files.h"
#include "cli/ShellWords.h"
#include "cli/FieldNames.h"
#include "config/SettingsFile.h"
#include "link/FrameText.h"
#include "netblock/NetworkSettings.h"
#include "text/ComPortName.h"
#include "text/Ipv4Text.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// "COM3 (/dev/ttyUSB2) at 9600 baud", or the device alone when it was named by its path.
std::string portDescription(const Tmod07& link, const LinkChoice& choice, bool named) {
  const unsigned number = static_cast<unsigned>(choice.portIndex + 1);
  const std::string device = link.portMap().device(number);
  std::string text = named ? device : "COM" + std::to_string(number);
  if (!named && !device.empty() && device.find(text) == std::string::npos) text += " (" + device + ")";
  return text + " at " + std::to_string(baudRateAt(choice.baudIndex)) + " baud";
}

// "chunk 3", "chunks 1-3", with the verb agreeing.
std::string chunkRange(int first, int last, const char* one, const char* several) {
  if (first == last) return "chunk " + std::to_string(first) + " " + one;
  return "chunks " + std::to_string(first) + "-" + std::to_string(last) + " " + several;
}

// The window keeps a TCP host only when it is a dotted address and otherwise reports no host
// at all; taken from its file here, the file's own value is named instead.
Result<void> checkSettingsHost(const std::string& file, const std::string& host) {
  const std::string rule = "(the window's TCP host must be one, e.g. 192.168.0.5): correct it there, or give --tcp HOST";
  if (host.empty()) return Failure{"the settings file " + file + " chooses TCP (UseIP=1) but sets no SockIP " + rule};
  if (host.find('.') != std::string::npos && tryParseIpv4(host)) return {};
  return Failure{"the settings file " + file + " sets SockIP=" + visibleText(host) +
                 ", which is not a dotted IPv4 address " + rule};
}

// How every step before the first chunk ends when it is interrupted.
constexpr const char* kNothingWritten = "nothing was written to the instrument";

}  // namespace

Result<Target> resolveTarget(const LinkOptions& options, Tmod07& link) {
  Target target;
  if (!options.settingsFile.empty()) {
    if (const Result<std::string> text = readTextFile(options.settingsFile, "the settings file"); !text) {
      return text.failure();
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
  }
  if (target.choice.useTcp && options.tcpHost.empty() && !options.settingsFile.empty()) {
    if (Result<void> host = checkSettingsHost(options.settingsFile, target.choice.host); !host) return host.failure();
  }
  target.address = options.address.value_or(1);
  target.arguments = linkArguments(options, target.address);
  target.description = target.choice.useTcp ? "TCP " + target.choice.host + ":" + target.choice.tcpPortText
                                            : portDescription(link, target.choice, isPath);
  return target;
}

Session::Session(Tmod07& link, Io io, const Target& target, bool trace) : link_(link), io_(io), target_(target) {
  if (trace) {
    trace_ = std::make_unique<Trace>(io_.err);
    link_.setObserver(trace_.get());
  }
}

Session::~Session() {
  link_.Close();
  link_.setObserver(nullptr);
}

std::string complaintsIn(const std::string& printed) {
  std::string text;
  std::istringstream lines(printed);
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with(kComplaintPrefix)) continue;  // a trace line
    line.erase(0, kComplaintPrefix.size());
    if (!line.empty()) text += (text.empty() ? "" : " / ") + line;
  }
  return text;
}

int complain(Io io, int exit, const std::string& line) {
  io.err << kComplaintPrefix << line << '\n';
  return exit;
}

int Session::fail(int exit, const std::string& line) { return complain(io_, exit, line); }

int Session::open() {
  if (const Step<> opened = openLink(link_, target_.choice); !opened) {
    if (opened.failure().kind == ActionOutcome::Kind::Error) return fail(kExitUsage, opened.failure().text);
    std::string line = "cannot open " + target_.description;
    const std::string detail = link_.openFailureDetail();
    return fail(kExitLink, detail.empty() ? line + " (" + statusMeaning(link_.Status) + ")" : line + ": " + detail);
  }
  return kExitOk;
}

int Session::identify() {
  if (!netsetup::identify(link_, type_)) {
    if (link_.stopped()) {
      return fail(kExitInterrupted, "interrupted while waiting for the identification answer on " +
                                        target_.description + "; " + kNothingWritten);
    }
    if (link_.Status != StatusOk) {
      return fail(kExitIdentify, "no valid answer to the identification request on " + target_.description + " (code " +
                                     std::to_string(link_.Status) + ": " + statusMeaning(link_.Status) +
                                     "); check the rate, the wiring and that the instrument is powered");
    }
    return fail(kExitIdentify, "the instrument on " + target_.description + " is a \"" + visibleBytes(type_) +
                                   "\", not a " + kExpectedDeviceType);
  }
  return kExitOk;
}

int Session::readArea(SettingsArea& area) {
  const TransferResult read = ReadSettingsArea(link_, target_.address, area);
  if (read) return kExitOk;
  if (read.failure().interrupted) {
    return fail(kExitInterrupted, "interrupted while reading the settings area from address " +
                                      std::to_string(target_.address) + " (chunk " +
                                      std::to_string(read.failure().failedChunk + 1) + " of " +
                                      std::to_string(kChunkCount) + "); " + kNothingWritten);
  }
  return readFailed(read.failure());
}

int Session::readFailed(const TransferFailure& read) {
  return fail(kExitTransfer, "reading the settings area from address " + std::to_string(target_.address) +
                                 " failed at chunk " + std::to_string(read.failedChunk + 1) + " of " +
                                 std::to_string(kChunkCount) + " (code " + std::to_string(read.status) + ": " +
                                 statusMeaning(read.status) + "); nothing was changed");
}

int Session::writeArea(const SettingsArea& area, const std::string& backupPath, TransferResult* outcome) {
  SettingsArea sent = area;
  const TransferResult written = WriteSettingsArea(link_, target_.address, sent);
  if (outcome) *outcome = written;
  if (written) return kExitOk;
  const TransferFailure& failure = written.failure();
  if (nothingSent(written)) {
    return fail(kExitInterrupted, "interrupted before the first chunk was sent; " + std::string(kNothingWritten) +
                                      " (the area as read is saved in " + backupPath + ")");
  }
  return fail(failure.interrupted ? kExitInterrupted : kExitTransfer,
              "writing the settings area " + std::string(failure.interrupted ? "was interrupted: " : "failed: ") +
                  writeFailureText(failure) + ". The area as it was is in " + backupPath +
                  "; read the instrument, check, and write again (or: netsetup-cli " + target_.arguments +
                  " restore " + shellWord(backupPath) + ")");
}

int Session::stopPoint() {
  return link_.stopRequested() ? fail(kExitInterrupted, "interrupted; " + std::string(kNothingWritten)) : kExitOk;
}

int Session::verify(const SettingsArea& written) {
  SettingsArea back{};
  const TransferResult read = ReadSettingsArea(link_, target_.address, back);
  if (!read && read.failure().interrupted) {
    return fail(kExitInterrupted, "interrupted while reading back: every chunk is written and confirmed, but the "
                                  "write is not verified");
  }
  if (!read) return readFailed(read.failure());
  const std::string differing = differingBytes(written, back, kWrittenAreaSize);
  if (differing.empty()) return kExitOk;
  return fail(kExitVerify, "verification failed: reading back, the instrument holds other values in " + differing);
}

std::string writeFailureText(const TransferFailure& failure) {
  const int chunk = failure.failedChunk + 1;
  // Interrupted, the chunk named was never sent; failed, it was sent and not confirmed.
  const int firstUnsent = failure.interrupted ? chunk : chunk + 1;
  std::string text;
  const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
  if (!failure.interrupted) {
    add("chunk " + std::to_string(chunk) + " of " + std::to_string(kChunkCount) + " was sent but not confirmed (code " +
        std::to_string(failure.status) + ": " + statusMeaning(failure.status) + ")");
  }
  if (chunk > 1) add(chunkRange(1, chunk - 1, "is written and confirmed", "are written and confirmed"));
  if (firstUnsent <= kChunkCount) add(chunkRange(firstUnsent, kChunkCount, "was not sent", "were not sent"));
  return text;
}

std::string differingBytes(const SettingsArea& a, const SettingsArea& b, size_t count) {
  std::vector<std::string> seen;
  std::string names;
  auto add = [&](const std::string& name) {
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) return;
    seen.push_back(name);
    names += (names.empty() ? "" : ", ") + name;
  };
  for (size_t i = 0; i < count; ++i) {
    if (a[i] == b[i]) continue;
    const auto field = std::find_if(kFieldBytes.begin(), kFieldBytes.end(),
                                    [i](const FieldBytes& f) { return i >= f.offset && i < f.offset + f.size; });
    add(field != kFieldBytes.end() ? std::string(nameOf(field->field)) : "byte " + std::to_string(i));
  }
  return names;
}

}  // namespace netsetup::cli
