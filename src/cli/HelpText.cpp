#include "cli/HelpText.h"

#include "actions/Actions.h"
#include "cli/console/Console.h"
#include "link/TcpPort.h"

namespace netsetup::cli {

namespace {

// Where a text names the baud list, the default TCP port, and a serial port as this platform
// names one; and where the general help lists the link options and the commands.
constexpr std::string_view kBaudRatesMark = "{baud rates}";
constexpr std::string_view kTcpPortMark = "{tcp port}";
constexpr std::string_view kSerialPortMark = "{serial port}";
constexpr std::string_view kLinkOptionsMark = "{link options}";
constexpr std::string_view kCommandsMark = "{commands}";

// The column where a list's texts start.
constexpr size_t kTextColumn = 22;

constexpr std::string_view kGeneral = R"(netsetup-cli: read and change the network settings of a VRN-207K instrument
over a serial line or a TCP stream, from a terminal, a script or a worklist of
many instruments.

Usage: netsetup-cli [LINK OPTIONS] COMMAND [ARGUMENT] [OPTIONS]
       netsetup-cli COMMAND --help
       netsetup-cli --version

Link options (before or after the command; not used by batch, whose worklist
names each link):
{link options}Give either --serial or --tcp, not both.

Commands:
{commands}Each command explains itself: netsetup-cli COMMAND --help

Records: every write saves a backup of the area before it, by default in the
user's folder (~/.local/state/netsetup/backups; %LOCALAPPDATA%\netsetup\backups
on Windows), named after the instrument (--name NAME, the address, the link),
and adds a line to the log of writes (writes.jsonl beside it; --log FILE).
Paths shown are absolute.

Fields (the names used by --set, sheets, worklists and every output):
  ip, mask, gateway   the instrument's own address, network mask and gateway:
                      four decimal numbers 0..255 without leading zeros (10.1
                      or 010.0.0.5, which other tools read as other addresses,
                      are refused); with DHCP on, the ones the instrument keeps
                      for when it is off
  port                the instrument's own TCP port
  dhcp                1 (or true) to take the address from the network, 0 (or
                      false) to use ip/mask/gateway
  server              the server the instrument connects to
  server_port         that server's TCP port
  apn, login          the mobile network's access point name and its login
  password            the access point's password; shown as *** unless asked
                      for, and *** given back keeps the instrument's
  auth                none, any, pap or chap (unset: no entry chosen)
Texts on the command line, in sheets and in worklists are UTF-8; a sheet or
worklist that is not is read as Windows-1251, and that is said.

Exit status:
  0    success
  1    diff: the instrument differs from the sheet (apply returns 0 whether it
       wrote or not)
  2    the command line is wrong, a file it names cannot be used, or standard
       output could not take the result
  3    the link could not be opened
  4    no answer to identification, or the instrument is not a VRN-207K
  5    reading or writing the settings area failed
  6    a value or a backup file was refused, or a backup could not be saved;
       nothing was sent to the instrument
  7    reading back found a difference
  8    scan found no instrument
  9    batch finished, but at least one row failed
  10   scan: something answers, but its answers are damaged
  130  interrupted (Ctrl+C, SIGTERM, SIGHUP, the death of the process that
       started it; Ctrl+C or Ctrl+Break on Windows): every command stops at its
       next exchange with the instrument and says how far it got. A write whose
       first chunk is out is finished first (every chunk, then the reading
       back), so the instrument never keeps half of the new settings; a second
       interrupt stops it after the chunk in hand, and the message says which
       chunks were written, as a failed write does

Examples:
  netsetup-cli --serial {serial port} read
  netsetup-cli --tcp 192.168.0.50 read --format ini -o unit12.ini
  netsetup-cli --serial {serial port} --baud 115200 write --set dhcp=0
  netsetup-cli --serial {serial port} write unit12.ini --backup before.txt
  netsetup-cli --tcp 10.0.0.5 apply unit12.ini --check --diff
  netsetup-cli batch site-a.csv --report site-a-report.csv
  netsetup-cli batch district.csv --template district.ini --report r.csv
)";

// "9600 (default), 19200, 28800, 38400, 57600 or 115200".
std::string baudChoices() {
  const int32_t standard = baudRateAt(LinkChoice{}.baudIndex);
  std::string text;
  for (size_t i = 0; i < BaudRates.size(); ++i) {
    text += i == 0 ? "" : i + 1 < BaudRates.size() ? ", " : " or ";
    text += std::to_string(BaudRates[i]) + (BaudRates[i] == standard ? " (default)" : "");
  }
  return text;
}

// "  --tcp HOST[:PORT]   an IPv4 address...": the entry, then its text at kTextColumn (on a line
// of its own when the entry reaches it), each further line of the text indented as far.
std::string listEntry(std::string_view entry, std::string_view text) {
  std::string out = "  " + std::string(entry);
  if (out.size() + 2 > kTextColumn) out += "\n" + std::string(kTextColumn, ' ');
  else out.append(kTextColumn - out.size(), ' ');
  for (char c : text) {
    out += c;
    if (c == '\n') out.append(kTextColumn, ' ');
  }
  return out + "\n";
}

std::string linkOptionList() {
  std::string out;
  for (const OptionInfo& option : optionTable()) {
    if (option.extra.group == OptionGroup::Link) out += listEntry(optionEntry(option), option.extra.help);
  }
  return out;
}

std::string commandLines() {
  std::string out;
  for (const CommandInfo& command : commandTable()) out += listEntry(command.usage, command.summary);
  return out;
}

}  // namespace

std::string optionEntry(const OptionInfo& option) {
  std::string entry(option.name);
  if (!option.extra.valueName.empty()) entry.append(" ").append(option.extra.valueName);
  return entry;
}

void replaceAll(std::string& text, std::string_view mark, std::string_view by) {
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size())) {
    text.replace(at, mark.size(), by);
  }
}

std::string fillHelpMarks(std::string text) {
  replaceAll(text, kBaudRatesMark, baudChoices());
  replaceAll(text, kTcpPortMark, std::to_string(kDefaultTcpPort));
  replaceAll(text, kSerialPortMark, serialPortExample());
  return text;
}

std::string helpText(std::string_view command) {
  if (const CommandInfo* info = findCommand(command)) return fillHelpMarks(std::string(info->help));
  std::string text(kGeneral);
  replaceAll(text, kLinkOptionsMark, linkOptionList());
  replaceAll(text, kCommandsMark, commandLines());
  return fillHelpMarks(std::move(text));
}

}  // namespace netsetup::cli
