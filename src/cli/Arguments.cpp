#include "cli/Arguments.h"

#include <algorithm>

#include "actions/Actions.h"
#include "cli/CommandTable.h"
#include "link/HostName.h"
#include "link/PortMap.h"
#include "link/Umod07.h"
#include "text/CommandLine.h"
#include "text/ComPortName.h"
#include "text/IntegerText.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr int32_t kMaxWaitSeconds = 3600;

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
  void linkOption(OptionId id, std::string_view value);
  void tcpOption(std::string_view value);
  void outputOption(OptionId id, std::string_view value);
  void writeOption(OptionId id, std::string_view value);
  void setOption(std::string_view value);
  void selectionOption(OptionId id, std::string_view value);
  void positional(const std::string& word);
  void check();
  void checkCommand();
  void checkArgument(const CommandInfo& command);

  CliOptions o_;
  std::optional<UsageError> refused_;  // the first refusal, once there is one
  std::vector<const OptionInfo*> given_;
  std::vector<std::string> extra_;  // positional words beyond the command's argument
  std::string_view current_;        // the option being read, which a refusal names
};

void Parser::option(const OptionInfo& info, std::string_view value) {
  current_ = info.name;
  if (info.extra.id != OptionId::Set && std::find(given_.begin(), given_.end(), &info) != given_.end())
    return fail(std::string(info.name) + " is given twice", {current_});
  given_.push_back(&info);
  switch (info.extra.group) {
    case OptionGroup::Link: return linkOption(info.extra.id, value);
    case OptionGroup::Output: return outputOption(info.extra.id, value);
    case OptionGroup::Write: return writeOption(info.extra.id, value);
    case OptionGroup::Selection: return selectionOption(info.extra.id, value);
    case OptionGroup::General:
      if (info.extra.id == OptionId::Help) o_.help = true;
      if (info.extra.id == OptionId::Version) o_.version = true;
      return;
  }
}

void Parser::linkOption(OptionId id, std::string_view value) {
  LinkOptions& link = o_.link;
  switch (id) {
    case OptionId::Serial:
      if (auto port = serialPort(value)) link.serial = *port;
      else fail("The serial port " + quoteText(value) + " is not COM1..COM16 or a device path", {current_});
      return;
    case OptionId::Baud: {
      const std::optional<int32_t> rate = parseInteger(value);
      if (!rate) return fail(notAnIntegerText(value), {current_});
      if (baudIndexOf(*rate) < 0)
        return fail("The baud rate " + quoteText(value) + " is not one of " + baudRateList(), {current_});
      link.baud = *rate;
      return;
    }
    case OptionId::Tcp: return tcpOption(value);
    case OptionId::Settings: link.settingsFile = std::string(value); return;
    case OptionId::Address: {
      const Result<int32_t> address = integerUpTo("The network address", value, kMaxNetworkAddress);
      if (!address) return fail(address.failure().message, {current_});
      link.address = static_cast<uint8_t>(*address);
      return;
    }
    case OptionId::Trace: link.trace = true; return;
    case OptionId::Timeout: {
      const std::optional<int32_t> ms = parseInteger(value);
      if (!ms) return fail(notAnIntegerText(value), {current_});
      if (*ms < 1 || *ms > static_cast<int32_t>(Tmod07::kMaxTimeoutMs))
        return fail("The time-out " + quoteText(value) + " is outside 1.." + std::to_string(Tmod07::kMaxTimeoutMs) +
                        " ms", {current_});
      link.timeoutMs = static_cast<uint32_t>(*ms);
      return;
    }
    case OptionId::Wait: {
      const Result<int32_t> seconds = integerUpTo("The wait", value, kMaxWaitSeconds, "seconds");
      if (!seconds) return fail(seconds.failure().message, {current_});
      link.waitSeconds = static_cast<unsigned>(*seconds);
      return;
    }
    default: return;
  }
}

// HOST or HOST:PORT.
void Parser::tcpOption(std::string_view value) {
  const size_t colon = value.find(':');
  const std::string_view host = value.substr(0, colon);
  if (!isHostText(host))
    return fail("The host " + quoteText(host) + " is neither an IPv4 address nor a host name", {current_});
  o_.link.tcpHost = std::string(host);
  if (colon == std::string_view::npos) return;
  const Result<int32_t> port = integerUpTo("The TCP port", value.substr(colon + 1), kMaxTcpPort);
  if (!port) return fail(port.failure().message, {current_});
  o_.link.tcpPort = static_cast<uint16_t>(*port);
}

void Parser::outputOption(OptionId id, std::string_view value) {
  switch (id) {
    case OptionId::Format:
      if (auto format = parseFormat(value)) o_.format = *format;
      else fail("The format " + quoteText(value) + " is not table, json or ini", {current_});
      return;
    case OptionId::Output: o_.output = std::string(value); return;
    case OptionId::ShowPassword: o_.showPassword = true; return;
    case OptionId::Json: o_.json = true; return;
    case OptionId::Check: o_.check = true; return;
    case OptionId::Diff: o_.showDiff = true; return;
    default: return;
  }
}

void Parser::writeOption(OptionId id, std::string_view value) {
  switch (id) {
    case OptionId::Set: return setOption(value);
    case OptionId::Template: o_.templateSheet = std::string(value); return;
    case OptionId::Backup: o_.backup = std::string(value); return;
    case OptionId::BackupDir: o_.backupDir = std::string(value); return;
    case OptionId::Name:
      if (value.empty() || std::any_of(value.begin(), value.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
          }))
        return fail("The name " + quoteText(value) + " must be a non-empty line of text", {current_});
      o_.name = std::string(value);
      return;
    case OptionId::Log: o_.log = std::string(value); return;
    case OptionId::NoVerify: o_.verify = false; return;
    case OptionId::Force: o_.force = true; return;
    case OptionId::Broadcast: o_.broadcast = true; return;
    default: return;
  }
}

// NAME=VALUE, each field once.
void Parser::setOption(std::string_view value) {
  const size_t eq = value.find('=');
  if (eq == std::string_view::npos) return fail("--set needs NAME=VALUE, not " + quoteText(value), {current_});
  const std::optional<std::string_view> field = canonicalFieldName(value.substr(0, eq));
  if (!field)
    return fail("unknown field " + quoteText(value.substr(0, eq)) + "; the fields are " + fieldNameList(), {current_});
  for (const FieldValue& set : o_.sets)
    if (set.name == *field) return fail("--set " + std::string(*field) + " is given twice", {current_});
  o_.sets.push_back({std::string(*field), std::string(value.substr(eq + 1))});
}

void Parser::selectionOption(OptionId id, std::string_view value) {
  switch (id) {
    case OptionId::Since:
      if (!isTimeFrom(value))
        return fail("The time " + quoteText(value) +
                        " is not YYYY-MM-DD, YYYY-MM-DDTHH:MM or YYYY-MM-DDTHH:MM:SSZ (UTC)", {current_});
      o_.since = std::string(value);
      return;
    case OptionId::Addresses: {
      const size_t dash = value.find('-', 1);  // past a sign the first number may carry
      std::optional<int32_t> first, last;
      if (dash != std::string_view::npos) {
        first = parseInteger(value.substr(0, dash));
        last = parseInteger(value.substr(dash + 1));
      }
      if (!first || !last || *first < 0 || *first > *last || *last > kMaxNetworkAddress)
        return fail("The address range " + quoteText(value) + " is not A-B with 0 <= A <= B <= 255", {current_});
      o_.addresses = std::pair{*first, *last};
      return;
    }
    case OptionId::Report: o_.report = std::string(value); return;
    default: return;
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
  const std::string& name = o_.command;
  if (name.empty()) return fail("no command given; the commands are " + commandList());
  const CommandInfo* command = findCommand(name);
  if (!command) return fail("unknown command " + quoteText(name) + "; the commands are " + commandList());
  for (const OptionInfo* info : given_)
    if (!accepts(*command, *info)) return fail("the option " + std::string(info->name) + " does not belong to " + name);
  checkArgument(*command);
  if (refused_) return;

  if (name == "batch" && o_.report.empty()) return fail("batch needs --report REPORT.csv");
  if (name == "read" && o_.json && (o_.format != OutputFormat::Table || !o_.output.empty()))
    return fail("--json prints one object on standard output: leave out --format and -o", {"--json"});
  if (name == "log" && o_.format == OutputFormat::Ini) return fail("log shows a table or JSON lines", {"--format"});
  if (o_.json && o_.showDiff) return fail("--diff shows lines of text; --json holds before and after already",
                                          {"--diff", "--json"});
  if (!o_.backup.empty() && !o_.backupDir.empty())
    return fail("--backup names the file and --backup-dir the folder: give one of them", {"--backup", "--backup-dir"});
  if (name == "backup" && !o_.file.empty() && !o_.backupDir.empty())
    return fail("backup FILE names the file; --backup-dir is for the name backup chooses itself",
                {"--backup-dir"});
}

// The command's one argument: there only when it takes one, and given when it needs one.
void Parser::checkArgument(const CommandInfo& command) {
  const std::string name(command.name);
  if (command.argument.empty() && !o_.file.empty())
    return fail("unexpected argument " + quoteText(o_.file) + " after " + name);
  if (!extra_.empty()) return fail("unexpected argument " + quoteText(extra_.front()) + " after " + name);
  if (!o_.file.empty()) return;
  if (command.argumentRequired) {
    const std::string_view shape = command.usage.substr(0, command.usage.find(" ["));
    return fail(name + " needs a " + std::string(command.argument) + ": netsetup-cli " + std::string(shape));
  }
  if ((name == "write" || name == "apply") && o_.sets.empty() && o_.templateSheet.empty())
    return fail(name + " needs a SHEET or --set NAME=VALUE");
}

Result<CliOptions, UsageError> Parser::run(const std::vector<std::string>& args) {
  using Kind = Argument<OptionFacts>::Kind;
  for (const Argument<OptionFacts>& arg : readCommandLine<OptionFacts>(args, optionTable(), true)) {
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
    if (!o_.command.empty() && !findCommand(o_.command))
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
