#pragma once
#include <string>
#include <string_view>

namespace netsetup::cli {

// The text --help prints: the general help for "" (or a word that is not a command), else
// the command's own help. Lines stay under 100 columns and end in "\n".
std::string helpText(std::string_view command);

}  // namespace netsetup::cli
