#include <algorithm>
#include <cctype>
#include <vector>

#include "cli/HelpText.h"

namespace netsetup::cli {

namespace {

// The page around what the tables give: {commands} and {options} are filled from them. It says
// more than --help does, as a manual may.
constexpr std::string_view kPage = R"man(.TH NETSETUP\-CLI 1 "" "netsetup {version}" "User Commands"
.SH NAME
netsetup\-cli \- read and change the network settings of VRN-207K instruments from a terminal
.SH SYNOPSIS
.B netsetup\-cli
.RI [ "link options" ]
.I command
.RI [ argument ]
.RI [ options ]
.br
.B netsetup\-cli
.I command
.B \-\-help
.br
.B netsetup\-cli
.B \-\-version
.SH DESCRIPTION
.B netsetup\-cli
does what the window
.BR netsetup (1)
does, from a terminal, a script or a worklist of many instruments, and adds a
backup before every write, a write verified by reading it back, a scan for an
instrument whose rate and address are unknown, and a trace of every frame.
Every value named is checked as the window checks it before anything is sent;
a write changes only the bytes of the fields named and sends every other byte
of the settings area back as read.
Texts on the command line, in sheets and in worklists are UTF-8; a sheet or
worklist that is not is read as Windows\-1251 (Notepad's and Excel's on a
Russian Windows), and that is said.
.SS Commands
{commands}.PP
Each command explains its own options:
.B netsetup\-cli
.I command
.BR \-\-help .
.SS Fields
.BR ip ", " mask ", " gateway
(four decimal numbers 0..255 without leading zeros, whatever DHCP says; forms
such as 10.1 or 010.0.0.5, which other tools read as other addresses, are
refused, saying how they would have been read),
.BR port ,
.B dhcp
(0 or 1; true and false are taken too),
.BR server ,
.BR server_port ,
.BR apn ,
.BR login ,
.BR password ,
.B auth
.RB ( none ", " any ", " pap ", " chap ;
.B unset
for no entry).
A settings sheet is an INI file with these names in a
.B [settings]
section; a line longer than 2047 bytes is refused.
.SH OPTIONS
Link options may stand before or after the command; give either
.B \-\-serial
or
.BR \-\-tcp .
{options}.SH EXIT STATUS
.TP
.B 0
Success.
.TP
.B 1
.BR diff :
the instrument differs from the sheet
.RB ( apply
returns 0 whether it wrote or not).
.TP
.B 2
The command line is wrong, or a file it names cannot be used (the message gives
the system's reason), or another batch holds the report, or standard output
could not take the result.
.TP
.B 3
The link could not be opened.
.TP
.B 4
No answer to identification, or the instrument is not a VRN-207K.
.TP
.B 5
Reading or writing the settings area failed.
.TP
.B 6
A value (of the command line, a sheet, a template or a worklist) or a backup
file was refused, or a backup could not be saved; nothing was sent to the
instrument.
.TP
.B 7
Reading back found a difference.
.TP
.B 8
.B scan
found no instrument.
.TP
.B 9
.B batch
finished, but at least one row failed.
.TP
.B 10
.BR scan :
something answers, but its answers are damaged.
.TP
.B 130
Interrupted (Ctrl+C, SIGTERM or SIGHUP, or the death of the process that
started the program; Ctrl+C or Ctrl+Break on Windows).
Every command stops at its next exchange with the instrument and says how far
it got; before a write's first chunk nothing is written.
Once the first chunk is out, the write and its reading back are finished first
(said at once), so the instrument never keeps half of the new settings; a
second interrupt stops it after the chunk in hand, naming the chunks written and
confirmed, those not sent, and where the backup is, as a failed write does.
.B batch
finishes the row in hand and begins no other.
.SH FILES
.TP
.I ~/.local/state/netsetup/backups/
The backups, readable by their owner only
.RI ( $XDG_STATE_HOME/netsetup/backups
when set;
.I %LOCALAPPDATA%\enetsetup\ebackups
on Windows).
.TP
.I ~/.local/state/netsetup/writes.jsonl
The log of writes: one JSON line per write attempted, with who, where, the
instrument, the outcome and exit status, each field before and after (the
password as ***), the bytes confirmed, whether it was read back, and the backup.
.SH EXAMPLES
.nf
netsetup\-cli \-\-serial COM3 read
netsetup\-cli \-\-tcp 192.168.0.50 read \-\-format ini \-o unit12.ini
netsetup\-cli \-\-serial /dev/ttyUSB0 \-\-baud 115200 write \-\-set ip=10.0.0.12 \-\-set dhcp=0
netsetup\-cli \-\-serial COM3 write unit12.ini \-\-backup unit12\-before.txt
netsetup\-cli \-\-tcp 10.0.0.5 diff unit12.ini
netsetup\-cli \-\-serial /dev/ttyUSB0 scan
netsetup\-cli \-\-tcp 10.0.0.5 apply unit12.ini \-\-check \-\-diff
netsetup\-cli batch site\-a.csv \-\-report site\-a\-report.csv
netsetup\-cli batch district.csv \-\-template district.ini \-\-report r.csv
.fi
.SH SEE ALSO
.BR netsetup (1),
.BR netsetup\-sim (1)
.PP
.I /usr/share/doc/netsetup/README.md
)man";

// A text of the tables for a roff text line: a backslash as \e, the dashes that begin an option
// as \- (a hyphen within a word stays one), and a line that would read as a request kept text.
std::string roffText(std::string_view text) {
  std::string out;
  bool lineStart = true;
  char previous = ' ';
  for (char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    const bool wordStart = !std::isalnum(static_cast<unsigned char>(previous)) || previous == '-';
    if (c == '\\') out += "\\e";
    else if (c == '-' && wordStart) out += "\\-";
    else out += c;
    lineStart = c == '\n';
    previous = c;
  }
  return out;
}

// "batch WORKLIST.csv --report REPORT.csv [--template SHEET]" with the command and the options
// in bold and what the user fills in in italics.
std::string roffUsage(std::string_view usage) {
  std::string out;
  for (size_t at = 0; at <= usage.size();) {
    const size_t end = std::min(usage.find(' ', at), usage.size());
    std::string_view word = usage.substr(at, end - at);
    const size_t open = std::min(word.find_first_not_of('['), word.size());
    const size_t close = word.find_last_not_of(']') + 1;
    const std::string_view core = word.substr(open, close - open);
    const bool bold = at == 0 || core.starts_with('-');
    out.append(out.empty() ? "" : " ").append(word.substr(0, open)).append(bold ? "\\fB" : "\\fI");
    out.append(roffText(core)).append("\\fR").append(word.substr(close));
    at = end + 1;
  }
  return out;
}

// A help text as a sentence of the page: capitalised, with its full stop.
std::string sentence(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (!text.ends_with('.')) text += '.';
  return roffText(text);
}

std::string commandEntries() {
  std::string out;
  for (const CommandInfo& command : commandTable()) {
    out += ".TP\n" + roffUsage(command.usage) + "\n" + std::string(command.man);
  }
  return out;
}

// "Taken by \fBwrite\fR and \fBapply\fR."
std::string takenBy(const OptionInfo& option) {
  std::vector<std::string_view> names;
  for (const CommandInfo& command : commandTable())
    if (accepts(command, option)) names.push_back(command.name);
  std::string out = "Taken by";
  for (size_t i = 0; i < names.size(); ++i) {
    out += i == 0 ? " " : i + 1 < names.size() ? ", " : " and ";
    out += "\\fB" + std::string(names[i]) + "\\fR";
  }
  return out + ".\n";
}

// "\fB\-\-output\fR \fIFILE\fR, \fB\-o\fR \fIFILE\fR"
std::string optionHeading(const OptionInfo& option) {
  const std::string value =
      option.extra.valueName.empty() ? "" : " \\fI" + roffText(option.extra.valueName) + "\\fR";
  std::string out = "\\fB" + roffText(option.name) + "\\fR" + value;
  if (!option.alias.empty()) out += ", \\fB" + roffText(option.alias) + "\\fR" + value;
  return out;
}

std::string manOptionEntry(const OptionInfo& option, bool namesCommands) {
  std::string out = ".TP\n" + optionHeading(option) + "\n";
  out += sentence(fillHelpMarks(std::string(option.extra.help))) + "\n";
  if (!option.extra.manMore.empty()) out += roffText(option.extra.manMore) + "\n";
  if (namesCommands) out += takenBy(option);
  return out;
}

std::string optionEntries() {
  std::string out;
  for (const OptionInfo& option : optionTable()) {
    const OptionGroup group = option.extra.group;
    if (group == OptionGroup::Link || group == OptionGroup::General) out += manOptionEntry(option, false);
  }
  out += ".SS \"Command options\"\nEach belongs to the commands named; their help says more.\n";
  for (const OptionInfo& option : optionTable()) {
    const OptionGroup group = option.extra.group;
    if (group != OptionGroup::Link && group != OptionGroup::General) out += manOptionEntry(option, true);
  }
  return out;
}

}  // namespace

std::string manPage() {
  std::string page(kPage);
  replaceAll(page, "{version}", NETSETUP_VERSION);
  replaceAll(page, "{commands}", commandEntries());
  replaceAll(page, "{options}", optionEntries());
  return page;
}

}  // namespace netsetup::cli
