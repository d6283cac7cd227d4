#include "cli/CommandTable.h"

#include <algorithm>

namespace netsetup::cli {

namespace {

using O = OptionId;
using G = OptionGroup;

constexpr OptionInfo kOptions[] = {
    {"--serial", "", true, {O::Serial, G::Link, "PORT",
      "COM1..COM16 (any case) or a device path such as\n/dev/ttyUSB0 or \\\\.\\COM20; on Linux COMn opens the device\n"
      "the window's port list shows for it"}},
    {"--baud", "", true, {O::Baud, G::Link, "RATE", "{baud rates}"}},
    {"--tcp", "", true, {O::Tcp, G::Link, "HOST[:PORT]",
      "an IPv4 address or a host name (looked up once); the TCP\nport defaults to {tcp port}"}},
    {"--settings", "", true, {O::Settings, G::Link, "FILE",
      "take the link from the window's settings file\n(netsetup.ini); the options above override what it says;\n"
      "its SockIP must be a dotted IPv4 address, as in the\nwindow",
      "A SockIP that is not one (such as localhost) is refused with its value named."}},
    {"--address", "", true, {O::Address, G::Link, "N", "the instrument's network address, 0..255 (default 1)"}},
    {"--trace", "", false, {O::Trace, G::Link, "", "show the frames exchanged with the instrument",
      "Each frame is shown decoded, on standard error.", true}},
    {"--timeout", "", true, {O::Timeout, G::Link, "MS",
      "wait this long for each answer's first byte (default 400;\nthe pause between attempts follows it): for instruments\n"
      "that answer slowly, such as those behind cellular modems\n(--timeout 2000)",
      "A failure after answers that came too late says so and names this option."}},
    {"--wait", "", true, {O::Wait, G::Link, "SECONDS",
      "wait this long for a serial port another netsetup-cli\nholds (default 60; 0: fail at once)"}},

    {"--format", "", true, {O::Format, G::Output, "FORMAT",
      "how read prints the settings: table (the default), json or ini; log takes table or json"}},
    {"--output", "-o", true, {O::Output, G::Output, "FILE",
      "write what read prints to FILE instead of the screen"}},
    {"--show-password", "", false, {O::ShowPassword, G::Output, "", "show the password instead of ***"}},
    {"--json", "", false, {O::Json, G::Output, "",
      "print one JSON object for tools, whatever the outcome"}},
    {"--check", "", false, {O::Check, G::Output, "", "compare only: say what would change and write nothing"}},
    {"--diff", "", false, {O::Diff, G::Output, "",
      "print the instrument's and the new value of each field that changes"}},

    {"--set", "", true, {O::Set, G::Write, "NAME=VALUE", "one field's value; repeat for more"}},
    {"--template", "", true, {O::Template, G::Write, "SHEET",
      "the values every instrument shares; a sheet, a --set or a worklist's cell wins over it"}},
    {"--backup", "", true, {O::Backup, G::Write, "FILE",
      "where to save the area as read before writing; a file that exists is refused"}},
    {"--backup-dir", "", true, {O::BackupDir, G::Write, "DIR",
      "the folder for the backup instead of the user's backups folder"}},
    {"--name", "", true, {O::Name, G::Write, "NAME",
      "the instrument's name, for its backup and the log of writes (log: only its writes)"}},
    {"--log", "", true, {O::Log, G::Write, "FILE", "the log of writes to use instead of the user's"}},
    {"--no-verify", "", false, {O::NoVerify, G::Write, "", "do not read the area back after writing"}},
    {"--force", "", false, {O::Force, G::Write, "",
      "restore even a backup saved from another instrument or another type of instrument"}},
    {"--broadcast", "", false, {O::Broadcast, G::Write, "",
      "allow a write to address 0, which every instrument on the line hears"}},

    {"--since", "", true, {O::Since, G::Selection, "TIME",
      "only writes from TIME on (UTC): 2026-12-07, 2026-12-07T11:22 or 2026-12-07T11:22:33Z"}},
    {"--addresses", "", true, {O::Addresses, G::Selection, "A-B",
      "ask each address from A to B in turn (0 <= A <= B <= 255)"}},
    {"--report", "", true, {O::Report, G::Selection, "REPORT.csv",
      "the report each row's outcome is appended to"}},

    {"--help", "-h", false, {O::Help, G::General, "",
      "print the usage text (of the command, when one is named), and exit", {}, true}},
    {"--version", "", false, {O::Version, G::General, "", "print the program's name and version, and exit", {}, true}},
};

// Where an instrument is, how it is reached, and how long to wait for it.
constexpr OptionSet kLink{O::Serial, O::Baud, O::Tcp, O::Settings, O::Address, O::Timeout, O::Wait};
// The options of every command that writes the settings area.
constexpr OptionSet kWrites{O::Backup, O::BackupDir, O::Name, O::Log, O::NoVerify, O::Broadcast};

constexpr std::string_view kIdentifyHelp = R"(Usage: netsetup-cli [LINK OPTIONS] identify

Opens the link, asks the instrument for its type (the request goes to address
0, which every instrument hears) and prints the answer, then closes the link.
Use it to check the cable, the port and the rate before anything else.

Prints: the type the instrument reported, e.g. VRN-207K.

Exit status: 0 a VRN-207K answered; 3 the link could not be opened; 4 no
answer, or another type of instrument answered; 130 interrupted.
)";

constexpr std::string_view kIdentifyMan = R"man(Ask the instrument for its type and print it.
)man";

constexpr std::string_view kReadHelp = R"(Usage: netsetup-cli [LINK OPTIONS] read [--format table|json|ini] [-o FILE]
                                        [--show-password]
       netsetup-cli [LINK OPTIONS] read --json [--show-password]

Reads the instrument's network settings and prints them as stored: with DHCP
on, the addresses the instrument keeps for when it is off are shown too (marked
so in a table), so a sheet read and written back changes nothing. Nothing is
changed.

Options:
  --format table      one line per field: name, then value (the default)
  --format json       one JSON object, keys in the order of the field list;
                      port, server_port and dhcp as numbers
  --format ini        a settings sheet, ready to edit and give to write or diff
  -o FILE, --output FILE
                      write to FILE instead of the screen (- or /dev/stdout:
                      the screen); never the settings file the link comes
                      from, nor a backup
  --json              one JSON object for tools, whatever happens: "instrument"
                      (type, address, link) and "fields", or on failure "msg"
                      and "rc"
  --show-password     show the password instead of ***, on the screen and in
                      FILE; without it a sheet's password line is commented
                      out, so writing that sheet keeps the instrument's
                      password

Exit status: 0 read; 3 link; 4 identification; 5 the settings area could not be
read; 130 interrupted.
)";

constexpr std::string_view kReadMan = R"man(Print the network settings: a table, JSON
.RB ( \-\-format " json)"
or a settings sheet
.RB ( \-\-format " ini),"
to the screen or
.RB ( \-o
.IR FILE )
to a file
.RB ( \-
or
.I /dev/stdout
mean the screen; never the settings file the link comes from, nor a backup).
The fields are shown as stored: with DHCP on, the addresses the instrument
keeps for when it is off too, so a sheet read and written back changes nothing.
The password shows as ***, on the screen and in the file, unless
.B \-\-show\-password
is given.
.B \-\-json
prints one object for tools, whatever happens: the instrument and its fields,
or the message and exit status.
)man";

constexpr std::string_view kWriteHelp = R"(Usage: netsetup-cli [LINK OPTIONS] write [SHEET] [--set NAME=VALUE]...
                                         [--backup FILE] [--backup-dir DIR]
                                         [--name NAME] [--log FILE]
                                         [--no-verify] [--broadcast]

Reads the instrument's settings area, puts in the values of SHEET and of each
--set (a --set wins over the sheet), writes the area back and reads it again to
check that every value was stored. Only the bytes of the fields named change;
every other byte goes back as read, so fields named nowhere keep the
instrument's values exactly. Every value named is checked as the window checks
it before the instrument is asked anything, and a refusal names the field and
where the value was given (a sheet's line); a refused value changes nothing. An
address is four decimal numbers 0..255 without leading zeros, whatever DHCP
says. password=*** keeps the instrument's password. A port given in another
form is shown as stored (port: $2711 is stored as 10001).

SHEET is a settings sheet such as read --format ini prints:
  [settings]
  ip=10.0.0.12
  dhcp=0
Lines starting with ';' are comments. A value with blanks at either end goes in
double quotes. A line holds at most 2047 bytes.

Options:
  --set NAME=VALUE    one field; repeat for more. Names: ip, mask, gateway,
                      port, dhcp, server, server_port, apn, login, password,
                      auth. Quote the whole argument for the shell when the
                      value holds blanks: --set "apn=internet provider"
  --backup FILE       where to save the area as read before writing (as the
                      backup command does); a file that exists is refused. By
                      default [NAME-]backup-a<ADDRESS>-<LINK>-<TIME>.txt in the
                      backups folder (-2, -3... added when that name is taken:
                      a backup never replaces a file)
  --backup-dir DIR    the folder for that file instead of the user's (made
                      owner-only)
  --name NAME         the instrument's name, in the backup's name and header
                      and the log
  --log FILE          the log of writes to add the write's line to
  --no-verify         do not read the area back after writing
  --broadcast         allow a write to address 0, which every instrument on the
                      line hears

Before anything is written, the area as read is always saved as a backup; its
path is printed. If the instrument already holds every value, nothing is
written. A write that fails on the way says which chunks of the area were
written and confirmed, which one was sent but not confirmed, what that means
for each field (written, not written, or not known: the instrument holds the
old or the new value), where the backup is, and the restore command that puts
it back (with the link options used and the path quoted for the shell), ready
to paste. A verification that finds another value names it, with the same
command. Ctrl+C before the first chunk stops with nothing written; once the
first chunk is out the write and its reading back are finished first (said at
once); a second Ctrl+C stops after the chunk in hand and says which chunks were
written.

Exit status: 0 written (and checked), or nothing to change; 3 link;
4 identification; 5 reading or writing the area failed; 6 a value was refused
or the backup could not be saved, nothing was sent; 7 reading back found a
difference; 130 interrupted.
)";

constexpr std::string_view kWriteMan = R"man(Store the values of a sheet and of each
.BR \-\-set ,
after saving the settings area as it was
.RB ( \-\-backup
.I FILE
names that file; one that exists is refused), then read them back to check them
.RB ( \-\-no\-verify
skips the check).
Every value is checked before the instrument is asked anything; a refusal
names the field and where the value was given.
Fields named nowhere keep the instrument's bytes; a password of *** keeps the
instrument's password.
A write that fails on the way, or whose reading back finds another value, says
which chunks were written and confirmed and what that means for each field
(written, not written, or not known: the old or the new value), and prints the
.B restore
command that puts the backup back, with the link options used and the path
quoted for the shell, ready to paste.
By default the backup is
.RI [ NAME \-] backup\-a ADDRESS \- LINK \- TIME .txt
in the user's backups folder (see
.BR FILES ),
or in
.BR \-\-backup\-dir ,
with
.BR \-2 ", " \-3 ...
added when that name is taken: a backup never replaces a file.
.B \-\-name
gives the instrument's name for the backup and the log of writes;
.B \-\-log
names another log;
.B \-\-broadcast
allows a write to address 0, which every instrument on the line hears.
)man";

constexpr std::string_view kApplyHelp = R"(Usage: netsetup-cli [LINK OPTIONS] apply [SHEET] [--set NAME=VALUE]...
                                         [--template SHEET] [--check] [--diff]
                                         [--json] [--show-password]
                                         [--backup FILE] [--backup-dir DIR]
                                         [--name NAME] [--log FILE]
                                         [--no-verify] [--broadcast]

Brings the instrument to the values named, for scripts and configuration tools
that run the same command again and again. It reads the instrument and compares
each field named with what it holds, as the value would be stored (port $2711
and 10001, dhcp true and 1, auth PAP and pap are the same), so a second run
with the same values finds nothing to do. Only when a field differs does it
write, exactly as write does: the backup first, only the bytes of the fields
named, then reading back to check.

The values come from --template SHEET (shared by many instruments), then SHEET,
then each --set; a later one wins. password=*** keeps the instrument's
password.

Options:
  --check             compare only: say what would change and write nothing
  --diff              print "name: instrument's value -> new value" for each
                      field that changes (a password only as "would change")
  --json              print one JSON object on standard output and nothing
                      else, whatever the outcome (messages still go to standard
                      error), with these keys:
    changed     true when the instrument now holds a new value (with --check:
                would); after a failure only when a confirmed chunk changed a
                byte
    fields      the names of the fields that differ
    before      the fields named, as the instrument held them
    after       the fields named, as the instrument is known to hold them now
                (read back when verified; with --check, as they would be
                stored); null for a field a failed write left in doubt (its
                chunk sent but not confirmed)
    unknown     the names of those fields
                (the password shows as "***" in before and after)
    backup      the backup's path, or null when nothing was written
    verified    true when the write was read back and found stored
    instrument  {"type", "address", "link"}, null where not known
    msg, rc     on failure only: the messages, and the exit status
  --show-password     show the password in before and after
  --template SHEET, --backup FILE, --backup-dir DIR, --name NAME, --log FILE,
  --no-verify, --broadcast
                      as for batch and write

Exit status: 0 the instrument holds the values (written now or already), or
--check ran; 2 the command line or a sheet cannot be used; 3 link;
4 identification; 5 reading or writing the area failed; 6 a value was refused
or the backup could not be saved, nothing was sent; 7 reading back found a
difference; 130 interrupted.
)";

constexpr std::string_view kApplyMan = R"man(Bring the instrument to the values named, for scripts and configuration tools:
read it, compare each field named with what it holds as the value would be
stored (port $2711 and 10001, dhcp true and 1, auth PAP and pap are the same),
and only when one differs write as
.B write
does (backup first, only the named fields' bytes, read back to check).
The values come from
.BR \-\-template ,
then
.IR SHEET ,
then each
.BR \-\-set ;
a later one wins.
It returns 0 whether it wrote or not.
.B \-\-check
compares and writes nothing;
.B \-\-diff
prints the instrument's and the new value of each field that changes (a
password only as "would change");
.B \-\-show\-password
shows the password in the JSON instead of ***.
.B \-\-json
prints one JSON object on standard output and nothing else, for every outcome
(messages still go to standard error):
.RS
.TP
.B changed
true when the instrument now holds a new value (with
.BR \-\-check :
would); after a failure only when a confirmed chunk changed a byte.
.TP
.B fields
the names of the fields that differ.
.TP
.B before
the fields named, as the instrument held them; the password as "***".
.TP
.B after
the fields named, as the instrument is known to hold them now: read back when
verified, as they would be stored with
.BR \-\-check ,
and null for a field a failed write left in doubt (its chunk sent but not
confirmed).
.TP
.B unknown
the names of the fields that are null in
.BR after .
.TP
.B backup
the backup's path, or null when nothing was written.
.TP
.B verified
true when the write was read back and found stored.
.TP
.B instrument
an object with
.BR type ,
.B address
and
.BR link ,
null where not known.
.TP
.BR msg ", " rc
on failure only: the messages, and the exit status.
.RE
)man";

constexpr std::string_view kBackupHelp = R"(Usage: netsetup-cli [LINK OPTIONS] backup [FILE] [--backup-dir DIR]
                                          [--name NAME]

Reads the instrument's whole settings area (200 bytes) and saves it to FILE (by
default a new file [NAME-]backup-a<ADDRESS>-<LINK>-<TIME>.txt in the backups
folder, or in --backup-dir): a text file with the type, the address, the link,
the name, the time (UTC), the bytes in hex and a check sum, and the fields
decoded in comment lines for a person to read (the password as ***). A changed
or damaged file is refused by restore, and so is a backup of another instrument
unless forced. Note that the hex lines hold the password: keep backups safe.

Exit status: 0 saved; 3 link; 4 identification; 5 the area could not be read;
130 interrupted.
)";

constexpr std::string_view kBackupMan = R"man(Save the instrument's whole settings area to a text file with a check sum, the
link and the name; without
.I FILE
under a new name in the backups folder.
The file holds the password in hex: keep it safe.
)man";

constexpr std::string_view kRestoreHelp = R"(Usage: netsetup-cli [LINK OPTIONS] restore FILE [--force] [--check] [--diff]
                                           [--json] [--backup FILE]
                                           [--backup-dir DIR] [--name NAME]
                                           [--log FILE] [--no-verify]
                                           [--broadcast]

Writes a settings area saved by backup (or by a write) back into the
instrument, bytes 0 to 194 as the window writes them, and reads it again to
check it; it says where the backup came from. The file is refused if it was
changed or damaged, or saved from another type of instrument. Without --address
the area goes back to the address it was saved from; another address, or
another link than the one the backup names, is refused unless --force. The area
as it is now is saved first, as write does.

Options:
  --force             restore even when the file was saved from another
                      instrument or another type of instrument
  --check             say what the backup would change; write nothing
  --diff              print "name: instrument's value -> backup's value" for
                      each field
  --json              one object, as apply --json gives it
  --backup FILE, --backup-dir DIR, --name NAME, --log FILE, --no-verify,
  --broadcast
                      as for write

Exit status: 0 restored; 3 link; 4 identification; 5 reading or writing the
area failed; 6 the file was refused (changed, damaged, or from elsewhere
without --force), nothing was sent; 7 reading back found a difference;
130 interrupted.
)";

constexpr std::string_view kRestoreMan = R"man(Put a saved settings area back, saying where the backup came from; a changed or
damaged file is refused, and so is the backup of another instrument (another
address, or another link than its header names) or another type, unless
.BR \-\-force .
.B \-\-check
says what it would change and writes nothing,
.B \-\-diff
shows each field that changes,
.B \-\-json
prints one object as
.B apply
does.
)man";

constexpr std::string_view kDiffHelp = R"(Usage: netsetup-cli [LINK OPTIONS] diff SHEET

Reads the instrument's settings and compares them with the fields SHEET names,
as they would be stored (so port $2328 and 9000 are the same); fields the sheet
leaves out are not compared. Nothing is changed: it shows what write SHEET
would change.

Prints: one line per differing field, "name: instrument's value -> sheet's
value" (a password only as "would change"), or "no differences".

Exit status: 0 no difference; 1 at least one field differs; 2 the sheet cannot
be used; 3 link; 4 identification; 5 the area could not be read; 6 a value of
the sheet was refused; 130 interrupted.
)";

constexpr std::string_view kDiffMan = R"man(Show where the instrument differs from a sheet.
)man";

constexpr std::string_view kScanHelp = R"(Usage: netsetup-cli [LINK OPTIONS] scan [--addresses A-B]

Finds instruments whose rate and address nobody wrote down.

On a serial port without --addresses: for each rate, the common ones first
(9600, 19200, 115200, 57600, 38400, 28800), one identification request to
address 0, which every instrument hears, with one attempt and a short wait; the
answer says the address the instrument answers from. Six rates take about a
second and a half.

With --addresses A-B (0 <= A <= B <= 255), for a line shared by several
instruments: at the --baud rate (default 9600), each address in turn is asked
for one byte of its settings area, and each one that answers is asked its type.
Each instrument is listed once, by the address its answer carries: a request to
address 0 is answered by one of the instruments there, which is listed at its
own address, never at 0.

Over TCP there is no rate to find: one identification request (or, with
--addresses, the addresses in turn).

Prints: one line per instrument as it is found: its type, the rate and the
address. Progress goes to standard error. Ctrl+C stops the scan and lists what
was found so far.

An instrument whose answers come back damaged (a wrong checksum or complement,
noise, a late byte) is no silence: scan names the rate and the damage and
exits 10. A scan by rate that found an instrument says that others may share
the line, answering only to their address. A scan of more than a few addresses
says first how long it will take where none answers.

Exit status: 0 at least one instrument answered; 3 the link could not be
opened; 8 none answered; 10 something answers, but its answers are damaged;
130 interrupted.
)";

constexpr std::string_view kScanMan = R"man(Find an instrument whose rate and address are unknown: every rate on a serial
port, or with
.B \-\-addresses
.IR A \- B
every address in a range.
Each instrument is listed once, by the address its answer carries (a request to
address 0 is answered by one of the instruments, listed at its own address).
A rate whose answers come back damaged is named with the damage (status 10).
)man";

constexpr std::string_view kBatchHelp = R"(Usage: netsetup-cli batch WORKLIST.csv --report REPORT.csv
                          [--template SHEET] [--trace] [--timeout MS]
                          [--wait SECONDS] [--log FILE] [--broadcast]

Sets up many instruments from a worklist: for each row, opens the row's link,
writes the row's fields as write does, checks them, and appends one line to the
report. Before any instrument is touched every row is checked: its link cells
(an address in every row, a rate in every serial row), every value of the row
and of the template (a refusal names the file, line and column), and that no
instrument (link and address) is named twice; any problem refuses the whole
run. A row that fails on the line does not stop the others. Run it again with
the same report to retry: rows the report shows as ok or unchanged with the
same values (the row's and the template's) are skipped; an edited row or
template runs again.

WORKLIST.csv is a CSV file whose first row names the columns. Its cells are
separated by commas, or by semicolons when the first row has more of them (as
a spreadsheet saves "CSV" where the comma is the decimal mark); it is UTF-8,
or Windows-1251 (Excel's "CSV" on a Russian Windows), which is said. The
columns:
  address             the network address (required)
  serial, baud, tcp   the link, as --serial, --baud and --tcp take it (serial
                      or tcp required)
  name                a name for the report (optional)
  ip, mask, ...       any of the field names; an empty cell keeps the
                      instrument's value
Example:
  name,serial,baud,address,ip,dhcp
  pump 1,{serial port},9600,1,10.0.0.11,0
  pump 2,{serial port},9600,2,10.0.0.12,0

--template SHEET holds the values every row shares (the server, the APN, the
mask...), so the worklist needs only what differs per instrument; a filled cell
wins over the template.

For each row the area as read is saved first, in a folder beside the report
named after it (REPORT-backups), as NAME-backup-a<ADDRESS>-<LINK>-<TIME>.txt,
so every row gets its own. REPORT.csv gets the columns time, key, name, link,
address, outcome (ok, unchanged or failed), changed (the names of the fields
written and confirmed), backup, error (which also says what a write that broke
off did to each field: not written, or not known), first_backup (for a row
tried before, by a failed or killed run: the backup from before that first try,
found whether or not the row connects now); key holds the row's cells and a
digest of its values that tells nothing of them; a password never appears in
it. Progress goes to standard error. Ctrl+C finishes the row being written (see
write) and begins no other.

Before any instrument is touched, the report and REPORT-backups are checked to
be writable, and the lock beside the report's real file (REPORT.csv.lock,
whatever name or link the report is given by) is taken: a second batch on the
same report says which process holds it and stops. A backup half saved by a run
that was killed is removed, and named. If a row cannot be added to the report
later, the batch says on screen what was done to that row (and where its backup
is) and stops.

Exit status: 0 every row is done; 2 the worklist or the report cannot be used
(or another batch holds it); 6 a value of the worklist or the template was
refused; 9 at least one row failed; 130 interrupted.
)";

constexpr std::string_view kBatchMan = R"man(Set up many instruments from a CSV worklist, one row each, and append the
outcome of each row to the report; run it again with the same report to retry
the rows that failed.
Before any instrument is touched every row is checked: its link cells (an
address in every row, a rate in every serial row), every value of the row and of
the template (a refusal names the file, line and column), and that no
instrument, by link and address, is named twice; any problem refuses the run.
A row counts as done only with the values it was done with: an edited row or
template runs again.
With
.B \-\-template
.IR SHEET ,
the sheet holds the values every row shares and the worklist only what differs
per instrument; a filled cell wins over the template.
Each row's backup gets a file of its own in
.IR REPORT \-backups
(named after the row's name, address and link); a row tried before by a failed
or killed run also names, in the report's
.B first_backup
column, the backup from before that first try.
Before any instrument is touched, the report and its backups folder are checked
to be writable and
.IB REPORT .csv.lock
beside the report's real file is taken, so a second batch on the same report,
by whatever name or link, says which process holds it and stops with status 2.
A row that cannot be added to the report later is described on screen (what was
written, and where its backup is) before the batch stops.
.BR \-\-timeout ,
.B \-\-wait
and
.B \-\-broadcast
hold for every row;
.B \-\-trace
heads each row's frames with its line and name.
)man";

constexpr std::string_view kLogHelp = R"(Usage: netsetup-cli log [--since TIME] [--name NAME] [--format table|json]
                        [--log FILE]

Shows the log of writes: a line for every write the tool attempted (write,
apply, restore, batch rows), however it ended, with who and where, the
instrument, the outcome and exit status, each field before and after (the
password as ***; ? where a write left it unknown), the bytes confirmed, whether
it was read back, and the backup. The log is writes.jsonl in the user's state
folder ($XDG_STATE_HOME/netsetup, by default ~/.local/state/netsetup; on
Windows %LOCALAPPDATA%\netsetup), readable by its owner only; --log FILE names
another, here and for the commands that write.

Options:
  --since TIME        only writes from TIME on (UTC): 2026-12-07,
                      2026-12-07T11:22 or 2026-12-07T11:22:33Z
  --name NAME         only writes to the instrument named so (--name, a
                      worklist's name)
  --format table      one line per write (the default)
  --format json       the log's own lines, one JSON object each

Exit status: 0 shown; 2 the log cannot be read.
)";

constexpr std::string_view kLogMan = R"man(Show the log of writes, a line per write attempted;
.BI \-\-since " TIME"
(UTC, from a date to the second) and
.BI \-\-name " NAME"
choose lines,
.B \-\-format json
gives the log's own JSON lines.
)man";

constexpr CommandInfo kCommands[] = {
    {"identify", "", false, kLink, runIdentify, "identify", "ask the instrument what it is", kIdentifyHelp,
     kIdentifyMan},
    {"read", "", false, kLink | OptionSet{O::Format, O::Output, O::ShowPassword, O::Json}, runRead, "read",
     "show the network settings (a table, JSON, or a settings\nsheet)", kReadHelp, kReadMan},
    {"write", "SHEET", false, kLink | kWrites | OptionSet{O::Set}, runWrite, "write [SHEET]",
     "store the values of a sheet and of --set NAME=VALUE, then\ncheck them", kWriteHelp, kWriteMan},
    {"apply", "SHEET", false,
     kLink | kWrites | OptionSet{O::Set, O::Template, O::ShowPassword, O::Check, O::Diff, O::Json}, runApply,
     "apply [SHEET]", "as write, but only when a value differs; --check, --diff\nand --json for scripts and "
     "configuration tools", kApplyHelp, kApplyMan},
    {"backup", "FILE", false, kLink | OptionSet{O::BackupDir, O::Name}, runBackup, "backup [FILE]",
     "save the whole settings area of the instrument to a file", kBackupHelp, kBackupMan},
    {"restore", "FILE", true, kLink | kWrites | OptionSet{O::ShowPassword, O::Check, O::Diff, O::Json, O::Force},
     runRestore, "restore FILE", "put a saved settings area back into the instrument", kRestoreHelp, kRestoreMan},
    {"diff", "SHEET", true, kLink, runDiff, "diff SHEET", "show where the instrument differs from a sheet",
     kDiffHelp, kDiffMan},
    {"scan", "", false, OptionSet{O::Serial, O::Baud, O::Tcp, O::Settings, O::Timeout, O::Wait, O::Addresses},
     runScan, "scan", "find an instrument whose rate and address are unknown", kScanHelp, kScanMan},
    {"batch", "WORKLIST", true, OptionSet{O::Timeout, O::Wait, O::Template, O::Log, O::Broadcast, O::Report},
     runBatch, "batch WORKLIST.csv --report REPORT.csv [--template SHEET]",
     "set up many instruments from a worklist, one row each", kBatchHelp, kBatchMan},
    {"log", "", false, OptionSet{O::Format, O::Name, O::Log, O::Since}, runLog, "log", "show the log of writes",
     kLogHelp, kLogMan},
};

}  // namespace

std::span<const OptionInfo> optionTable() { return kOptions; }

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(std::string_view name) {
  const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                  [name](const CommandInfo& command) { return command.name == name; });
  return found == std::end(kCommands) ? nullptr : &*found;
}

std::string commandList() {
  std::string out;
  for (const CommandInfo& command : kCommands) out.append(out.empty() ? "" : ", ").append(command.name);
  return out;
}

bool accepts(const CommandInfo& command, const OptionInfo& option) {
  return option.extra.everyCommand || command.options.has(option.extra.id);
}

}  // namespace netsetup::cli
