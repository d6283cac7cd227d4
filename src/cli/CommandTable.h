#pragma once
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "cli/Commands.h"
#include "text/CommandLine.h"

namespace netsetup::cli {

// Every option of the command line, in the order the man page lists them within a group.
enum class OptionId : uint8_t {
  Serial, Baud, Tcp, Settings, Address, Trace, Timeout, Wait,   // link
  Format, Output, ShowPassword, Json, Check, Diff,              // output
  Set, Template, Backup, BackupDir, Name, Log, NoVerify, Force, Broadcast,  // write
  Since, Addresses, Report,                                     // selection
  Help, Version,                                                // general
};

// What an option is about: the parser reads each group with a handler of its own, the general
// help lists the link options, the man page lists each group under a heading of its own.
enum class OptionGroup { Link, Output, Write, Selection, General };

struct OptionFacts {
  OptionId id{};
  OptionGroup group{};
  std::string_view valueName;  // "PORT", "HOST[:PORT]"; empty for an option without a value
  // One line of help. A link option's is the general help's text, its lines split by '\n' as
  // they are printed there; marks such as {baud rates} are filled in as help fills them in.
  std::string_view help;
  std::string_view manMore = {};  // what the man page says beyond `help`, one sentence or more
  bool everyCommand = false;      // belongs to every command, not only to those that list it
};
using OptionInfo = Option<OptionFacts>;

std::span<const OptionInfo> optionTable();

// Options as a set of OptionId.
class OptionSet {
 public:
  constexpr OptionSet(std::initializer_list<OptionId> ids) {
    for (OptionId id : ids) bits_ |= bit(id);
  }
  constexpr OptionSet operator|(OptionSet other) const { return OptionSet(bits_ | other.bits_); }
  constexpr bool has(OptionId id) const { return (bits_ & bit(id)) != 0; }

 private:
  constexpr explicit OptionSet(uint64_t bits) : bits_(bits) {}
  static constexpr uint64_t bit(OptionId id) { return uint64_t{1} << static_cast<unsigned>(id); }
  uint64_t bits_ = 0;
};

using CommandRunner = CommandResult (*)(const CliOptions&, const Context&);

// One command of the tool: everything the parser, the help, the man page and runCli know of it.
struct CommandInfo {
  std::string_view name;
  std::string_view argument;  // "SHEET", "FILE", "WORKLIST", or empty for none
  bool argumentRequired = false;
  OptionSet options;  // those it takes besides the everyCommand ones
  CommandRunner run = nullptr;
  // As the general help lists it ("write [SHEET]"); before its first " [" it is also what a
  // missing argument's message shows ("batch WORKLIST.csv --report REPORT.csv").
  std::string_view usage;
  std::string_view summary;  // the general help's text beside the usage, lines split by '\n'
  std::string_view help;     // the command's own --help text
  std::string_view man;      // the man page's paragraph on it, in roff
};

std::span<const CommandInfo> commandTable();

// The command named so, or nullptr.
const CommandInfo* findCommand(std::string_view name);

// "identify, read, ..., log", for messages.
std::string commandList();

bool accepts(const CommandInfo& command, const OptionInfo& option);

}  // namespace netsetup::cli
