#pragma once
#include <string>
#include <string_view>

#include "cli/CommandTable.h"

namespace netsetup::cli {

// The text --help prints: the general help for "" (or a word that is not a command), else
// the command's own help. Lines stay under 100 columns and end in "\n".
std::string helpText(std::string_view command);

// netsetup-cli's man page, in roff, from the same tables as the help (the build installs it).
std::string manPage();

// What help and man page share: a text of the tables with its marks ({baud rates}...) filled
// in, and an option as a list shows it ("--tcp HOST[:PORT]").
std::string fillHelpMarks(std::string text);
void replaceAll(std::string& text, std::string_view mark, std::string_view by);
std::string optionEntry(const OptionInfo& option);

}  // namespace netsetup::cli
