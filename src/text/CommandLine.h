#pragma once
#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace netsetup {

// One option of a program's command line, as the program's table declares it. `Extra` is what
// the program keeps with each option (the commands it belongs to, what it sets).
template <class Extra>
struct Option {
  std::string_view name;   // "--baud"
  std::string_view alias;  // a short form ("-o"), or empty
  bool takesValue = false;
  Extra extra{};
};

// What one argument of a command line (with the value it takes) is.
template <class Extra>
struct Argument {
  enum class Kind {
    Word,          // not an option: `value` is the word
    Option,        // `option` with its `value` (empty for one that takes none)
    Unknown,       // `name` is in no entry of the table
    NeedsValue,    // `option` takes a value, and the command line ended
    TakesNoValue,  // `option` takes none, and "=value" came with it
  };
  Kind kind = Kind::Word;
  const Option<Extra>* option = nullptr;
  std::string_view name;   // the option as typed, without "=value"
  std::string_view value;  // the option's value, or the word
  std::string_view typed;  // the whole argument
};

// The arguments (without the program's name) read against `table`: "--name value",
// "--name=value", and "-a value" for a short alias. With `words`, an argument that does not
// start with "-" (or is "-" alone) is a word, and after "--" every argument is one; without,
// every argument must be an option. Each argument is read on its own, so a mistake is reported
// where it is and the rest is still read.
template <class Extra>
std::vector<Argument<Extra>> readCommandLine(const std::vector<std::string>& args, std::span<const Option<Extra>> table,
                                             bool words) {
  using Kind = typename Argument<Extra>::Kind;
  std::vector<Argument<Extra>> read;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view typed = args[i];
    if (words && (optionsEnded || typed.size() < 2 || typed.front() != '-')) {
      read.push_back({Kind::Word, nullptr, {}, typed, typed});
      continue;
    }
    if (words && typed == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t eq = typed.starts_with("--") ? typed.find('=') : std::string_view::npos;
    const std::string_view name = typed.substr(0, eq);
    const auto option = std::find_if(table.begin(), table.end(), [name](const Option<Extra>& o) {
      return name == o.name || (!o.alias.empty() && name == o.alias);
    });
    Argument<Extra> argument{Kind::Option, option == table.end() ? nullptr : &*option, name, {}, typed};
    if (!argument.option) {
      argument.kind = Kind::Unknown;
    } else if (!option->takesValue) {
      if (eq != std::string_view::npos) argument.kind = Kind::TakesNoValue;
    } else if (eq != std::string_view::npos) {
      argument.value = typed.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      argument.value = args[++i];
    } else {
      argument.kind = Kind::NeedsValue;
    }
    read.push_back(argument);
  }
  return read;
}

}  // namespace netsetup
