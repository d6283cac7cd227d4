#include "cli/console/ShellWords.h"

#include <algorithm>

namespace netsetup::cli {

namespace {

bool plain(char c, Shell shell) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  if (c == '\\') return shell == Shell::WindowsCmd;
  return std::string_view("@+=:,./_-").find(c) != std::string_view::npos;
}

// Single quotes keep everything; a single quote itself ends them, is escaped, and they reopen.
std::string posixQuoted(std::string_view word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Windows splits a command line by its own rule: backslashes are literal except before a
// double quote, where each one must be doubled, and a double quote inside is \".
std::string windowsQuoted(std::string_view word) {
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');  // before the closing quote
  return out + "\"";
}

}  // namespace

std::string shellWord(std::string_view word, Shell shell) {
  if (!word.empty() && std::all_of(word.begin(), word.end(), [shell](char c) { return plain(c, shell); })) {
    return std::string(word);
  }
  return shell == Shell::Posix ? posixQuoted(word) : windowsQuoted(word);
}

}  // namespace netsetup::cli
