#include "cli/Arguments.h"

#include <algorithm>

#include "actions/Actions.h"
#include "link/HostName.h"
#include "link/PortMap.h"
#include "link/Umod07.h"
#include "text/CommandLine.h"
#include "text/ComPortName.h"
#include "text/IntegerText.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr std::string_view kAll = "*";
constexpr int32_t kMaxWaitSeconds = 3600;
constexpr std::string_view kLinked = "identify read write apply backup restore diff scan";

// Each option with the commands it belongs to, space separated, or kAll.
using OptionInfo = Option<std::string_view>;

constexpr OptionInfo kOptions[] = {
    {"--serial", "", true, kLinked},
    {"--baud", "", true, kLinked},
    {"--tcp", "", true, kLinked},
    {"--settings", "", true, kLinked},
    {"--address", "", true, "identify read write apply backup restore diff"},
    {"--trace", "", false, kAll},
    {"--wait", "", true, "identify read write apply backup restore diff scan batch"},
    {"--timeout", "", true, "identify read write apply backup restore diff scan batch"},
    {"--format", "", true, "read log"},
    {"--output", "-o", true, "read"},
    {"--show-password", "", false, "read apply restore"},
    {"--set", "", true, "write apply"},
    {"--backup", "", true, "write restore apply"},
    {"--backup-dir", "", true, "write restore apply backup"},
    {"--name", "", true, "write restore apply backup log"},
    {"--log", "", true, "write restore apply batch log"},
    {"--since", "", true, "log"},
    {"--no-verify", "", false, "write restore apply"},
    {"--check", "", false, "apply restore"},
    {"--diff", "", false, "apply restore"},
    {"--json", "", false, "read apply restore"},
    {"--template", "", true, "apply batch"},
    {"--force", "", false, "restore"},
    {"--broadcast", "", false, "write apply restore batch"},
    {"--addresses", "", true, "scan"},
    {"--report", "", true, "batch"},
    {"--help", "-h", false, kAll},
    {"--version", "", false, kAll},
};

bool belongsTo(const OptionInfo& option, std::string_view command) {
  if (option.extra == kAll) return true;
  std::string_view list = option.extra;
  while (!list.empty()) {
    const size_t space = list.find(' ');
    if (list.substr(0, space) == command) return true;
    list = space == std::string_view::npos ? std::string_view() : list.substr(space + 1);
  }
  return false;
}

std::string commandList() {
  std::string out;
  for (std::string_view command : kCommands) out.append(out.empty() ? "" : ", ").append(command);
  return out;
}

bool isCommand(std::string_view word) {
  return std::find(kCommands.begin(), kCommands.end(), word) != kCommands.end();
}

// The start of a UTC time as the log's lines carry it: a date, with hours and minutes, with seconds.
bool isTimeFrom(std::string_view t) {
  constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
  if (t.size() != 10 && t.size() != 16 && t.size() != 20) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (kShape[i] == 'd' ? t[i] < '0' || t[i] > '9' : t[i] != kShape[i]) return false;
  }
  return true;
}

// COM1..COM16 in any case, normalised to upper case; or a device path (/dev/..., \\.\COM20).
std::optional<std::string> serialPort(std::string_view text) {
  if (text.find('/') != std::string_view::npos || text.starts_with("\\\\.\\")) return std::string(text);
  const unsigned n = comPortNumber(text);
  if (n < 1 || n > PortMap::kPortCount) return std::nullopt;
  return "COM" + std::to_string(n);
}

// "9600, 19200, 28800, 38400, 57600, 115200".
std::string baudRateList() {
  std::string out;
  for (int32_t rate : BaudRates) out.append(out.empty() ? "" : ", ").append(std::to_string(rate));
  return out;
}

class Parser {
 public:
  Result<CliOptions, UsageError> run(const std::vector<std::string>& args);

 private:
  // The first refusal stands; the line is read to its end all the same.
  void fail(std::string error, std::vector<std::string_view> options = {}) {
    if (!refused_) refused_ = UsageError{std::move(error), std::move(options)};
  }
  void option(const OptionInfo& info, std::string_view value);
  void positional(const std::string& word);
  void check();
  void checkCommand();

  CliOptions o_;
  std::optional<UsageError> refused_;  // the first refusal, once there is one
  std::vector<const OptionInfo*> given_;
  std::vector<std::string> extra_;  // positional words beyond the command's argument
};

void Parser::option(const OptionInfo& info, std::string_view value) {
  const std::string_view name = info.name;
  const auto fail = [&](std::string error) { Parser::fail(std::move(error), {name}); };
  if (name != "--set" && std::find(given_.begin(), given_.end(), &info) != given_.end())
    return fail(std::string(name) + " is given twice");
  given_.push_back(&info);
  LinkOptions& link = o_.link;

  if (name == "--serial") {
    if (auto port = serialPort(value)) link.serial = *port;
    else fail("The serial port " + quoteText(value) + " is not COM1..COM16 or a device path");
  } else if (name == "--baud") {
    const std::optional<int32_t> rate = parseInteger(value);
    if (!rate) return fail(notAnIntegerText(value));
    if (baudIndexOf(*rate) < 0) return fail("The baud rate " + quoteText(value) + " is not one of " + baudRateList());
    link.baud = *rate;
  } else if (name == "--tcp") {
    const size_t colon = value.find(':');
    const std::string_view host = value.substr(0, colon);
    if (!isHostText(host))
      return fail("The host " + quoteText(host) + " is neither an IPv4 address nor a host name");
    link.tcpHost = std::string(host);
    if (colon != std::string_view::npos) {
      const std::string_view portText = value.substr(colon + 1);
      const Result<int32_t> port = integerUpTo("The TCP port", portText, kMaxTcpPort);
      if (!port) return fail(port.failure().message);
      link.tcpPort = static_cast<uint16_t>(*port);
    }
  } else if (name == "--settings") {
    link.settingsFile = std::string(value);
  } else if (name == "--address") {
    const Result<int32_t> address = integerUpTo("The network address", value, kMaxNetworkAddress);
    if (!address) return fail(address.failure().message);
    link.address = static_cast<uint8_t>(*address);
  } else if (name == "--trace") {
    link.trace = true;
  } else if (name == "--timeout") {
    const std::optional<int32_t> ms = parseInteger(value);
    if (!ms) return fail(notAnIntegerText(value));
    if (*ms < 1 || *ms > static_cast<int32_t>(Tmod07::kMaxTimeoutMs))
      return fail("The time-out " + quoteText(value) + " is outside 1.." + std::to_string(Tmod07::kMaxTimeoutMs) + " ms");
    link.timeoutMs = static_cast<uint32_t>(*ms);
  } else if (name == "--wait") {
    const Result<int32_t> seconds = integerUpTo("The wait", value, kMaxWaitSeconds, "seconds");
    if (!seconds) return fail(seconds.failure().message);
    link.waitSeconds = static_cast<unsigned>(*seconds);
  } else if (name == "--format") {
    if (auto format = parseFormat(value)) o_.format = *format;
    else fail("The format " + quoteText(value) + " is not table, json or ini");
  } else if (name == "--output") {
    o_.output = std::string(value);
  } else if (name == "--show-password") {
    o_.showPassword = true;
  } else if (name == "--set") {
    const size_t eq = value.find('=');
    if (eq == std::string_view::npos) return fail("--set needs NAME=VALUE, not " + quoteText(value));
    const std::optional<std::string_view> field = canonicalFieldName(value.substr(0, eq));
    if (!field) return fail("unknown field " + quoteText(value.substr(0, eq)) + "; the fields are " + fieldNameList());
    for (const FieldValue& set : o_.sets)
      if (set.name == *field) return fail("--set " + std::string(*field) + " is given twice");
    o_.sets.push_back({std::string(*field), std::string(value.substr(eq + 1))});
  } else if (name == "--backup") {
    o_.backup = std::string(value);
  } else if (name == "--log") {
    o_.log = std::string(value);
  } else if (name == "--since") {
    if (!isTimeFrom(value))
      return fail("The time " + quoteText(value) + " is not YYYY-MM-DD, YYYY-MM-DDTHH:MM or YYYY-MM-DDTHH:MM:SSZ (UTC)");
    o_.since = std::string(value);
  } else if (name == "--backup-dir") {
    o_.backupDir = std::string(value);
  } else if (name == "--name") {
    if (value.empty() || std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
      return fail("The name " + quoteText(value) + " must be a non-empty line of text");
    o_.name = std::string(value);
  } else if (name == "--no-verify") {
    o_.verify = false;
  } else if (name == "--force") {
    o_.force = true;
  } else if (name == "--broadcast") {
    o_.broadcast = true;
  } else if (name == "--check") {
    o_.check = true;
  } else if (name == "--diff") {
    o_.showDiff = true;
  } else if (name == "--json") {
    o_.json = true;
  } else if (name == "--template") {
    o_.templateSheet = std::string(value);
  } else if (name == "--addresses") {
    const size_t dash = value.find('-', 1);  // past a sign the first number may carry
    std::optional<int32_t> first, last;
    if (dash != std::string_view::npos) {
      first = parseInteger(value.substr(0, dash));
      last = parseInteger(value.substr(dash + 1));
    }
    if (!first || !last || *first < 0 || *first > *last || *last > 255)
      return fail("The address range " + quoteText(value) + " is not A-B with 0 <= A <= B <= 255");
    o_.addresses = std::pair{*first, *last};
  } else if (name == "--report") {
    o_.report = std::string(value);
  } else if (name == "--help") {
    o_.help = true;
  } else if (name == "--version") {
    o_.version = true;
  }
}

void Parser::positional(const std::string& word) {
  if (o_.command.empty()) {
    o_.command = word;
  } else if (o_.file.empty() && extra_.empty()) {
    o_.file = word;
  } else {
    extra_.push_back(word);
  }
}

// What can be judged only once the whole line is read: the command and its arguments, then the
// link options that cannot go together.
void Parser::check() {
  checkCommand();
  if (refused_) return;
  if (!o_.link.serial.empty() && !o_.link.tcpHost.empty())
    return fail("--serial and --tcp cannot be used together", {"--serial", "--tcp"});
  if (o_.link.baud && !o_.link.tcpHost.empty())
    return fail("--baud goes with a serial link, not with --tcp", {"--baud", "--tcp"});
}

void Parser::checkCommand() {
  const std::string& command = o_.command;
  if (command.empty()) return fail("no command given; the commands are " + commandList());
  if (!isCommand(command))
    return fail("unknown command " + quoteText(command) + "; the commands are " + commandList());
  for (const OptionInfo* info : given_)
    if (!belongsTo(*info, command))
      return fail("the option " + std::string(info->name) + " does not belong to " + command);

  const bool takesFile = command == "write" || command == "apply" || command == "backup" ||
                         command == "restore" || command == "diff" || command == "batch";
  if (!takesFile && !o_.file.empty())
    return fail("unexpected argument " + quoteText(o_.file) + " after " + command);
  if (!extra_.empty()) return fail("unexpected argument " + quoteText(extra_.front()) + " after " + command);
  if (o_.file.empty()) {
    if (command == "restore") return fail("restore needs a FILE: netsetup-cli restore FILE");
    if (command == "diff") return fail("diff needs a SHEET: netsetup-cli diff SHEET");
    if (command == "batch")
      return fail("batch needs a WORKLIST: netsetup-cli batch WORKLIST.csv --report REPORT.csv");
    if ((command == "write" || command == "apply") && o_.sets.empty() && o_.templateSheet.empty())
      return fail(command + " needs a SHEET or --set NAME=VALUE");
  }
  if (command == "batch" && o_.report.empty()) return fail("batch needs --report REPORT.csv");
  if (command == "read" && o_.json && (o_.format != OutputFormat::Table || !o_.output.empty()))
    return fail("--json prints one object on standard output: leave out --format and -o", {"--json"});
  if (command == "log" && o_.format == OutputFormat::Ini) return fail("log shows a table or JSON lines", {"--format"});
  if (o_.json && o_.showDiff) return fail("--diff shows lines of text; --json holds before and after already",
                                          {"--diff", "--json"});
  if (!o_.backup.empty() && !o_.backupDir.empty())
    return fail("--backup names the file and --backup-dir the folder: give one of them", {"--backup", "--backup-dir"});
  if (command == "backup" && !o_.file.empty() && !o_.backupDir.empty())
    return fail("backup FILE names the file; --backup-dir is for the name backup chooses itself",
                {"--backup-dir"});
}

Result<CliOptions, UsageError> Parser::run(const std::vector<std::string>& args) {
  using Kind = Argument<std::string_view>::Kind;
  for (const Argument<std::string_view>& arg : readCommandLine<std::string_view>(args, kOptions, true)) {
    switch (arg.kind) {
      case Kind::Word: positional(std::string(arg.value)); break;
      case Kind::Option: option(*arg.option, arg.value); break;
      case Kind::Unknown: fail("unknown option " + quoteText(arg.name)); break;
      case Kind::NeedsValue: fail(std::string(arg.option->name) + " needs a value"); break;
      case Kind::TakesNoValue: fail(std::string(arg.option->name) + " takes no value"); break;
    }
  }
  // Help and the version answer whatever else the line holds, unless it names no real command.
  if (o_.help || o_.version) {
    if (!o_.command.empty() && !isCommand(o_.command))
      return UsageError{"unknown command " + quoteText(o_.command) + "; the commands are " + commandList(), {}};
    return o_;
  }
  if (!refused_) check();
  if (refused_) return *refused_;
  return o_;
}

}  // namespace

Result<CliOptions, UsageError> parseArguments(const std::vector<std::string>& args) { return Parser().run(args); }

}  // namespace netsetup::cli
