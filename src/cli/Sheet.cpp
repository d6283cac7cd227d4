#include "cli/Sheet.h"

#include <set>

#include "config/IniFile.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr std::string_view kSection = "settings";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

// The reader trims blanks and removes one outer pair of matching quotes; a value it would
// change so goes inside a pair of double quotes, which the reader then removes.
bool needsQuotes(std::string_view v) {
  if (v.empty()) return false;
  if (isBlank(v.front()) || isBlank(v.back())) return true;
  return v.size() >= 2 && isQuote(v.front()) && v.back() == v.front();
}

bool sameAsciiWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// One line of the text at a time, ending at CR, LF or CRLF, as the profile reader splits them.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t stop = text_.find_first_of("\r\n", pos_);
    if (stop == std::string_view::npos) stop = text_.size();
    line = text_.substr(pos_, stop - pos_);
    pos_ = stop + 1;
    if (stop < text_.size() && text_[stop] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    ++number_;
    return true;
  }
  size_t number() const { return number_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t number_ = 0;
};

// What the profile reader cannot show: how many [settings] sections there are, lines in the
// section it would skip without a word (a typo such as "ip: 10.0.0.5" would otherwise leave the
// field unchanged while the user believes it set), and lines it would cut.
std::string checkLayout(std::string_view text) {
  Lines lines(text);
  std::string_view line;
  int sections = 0;
  bool inSection = false;
  while (lines.next(line)) {
    if (line.size() > kMaxSheetLineLength) {
      return "sheet line " + std::to_string(lines.number()) + " is " + std::to_string(line.size()) +
             " bytes long; a sheet line holds at most " + std::to_string(kMaxSheetLineLength) + " bytes";
    }
    const std::string_view s = trim(line);
    if (s.empty() || s.front() == ';') continue;
    if (s.front() == '[') {
      const std::string_view name = trim(s.substr(1, s.find(']') - 1));
      inSection = sameAsciiWord(name, kSection);
      if (inSection && ++sections > 1)
        return "sheet line " + std::to_string(lines.number()) + ": a second [settings] section";
      continue;
    }
    if (inSection && s.find('=') == std::string_view::npos)
      return "sheet line " + std::to_string(lines.number()) + ": " + quoteText(s) +
             " is not NAME=VALUE";
  }
  if (sections == 0) return "the sheet has no [settings] section";
  return {};
}

}  // namespace

bool fitsSheetLine(std::string_view name, std::string_view value) {
  return name.size() + value.size() + 3 <= kMaxSheetLineLength;  // "=" and a pair of quotes
}

std::string formatSheet(const NetworkFields& fields, bool showPassword) {
  std::string out =
      "; netsetup settings sheet: netsetup-cli write SHEET stores these values; a field left out "
      "keeps the instrument's value\n"
      "; texts are UTF-8; dhcp is 0 or 1; auth is none, any, pap, chap or unset; password=*** keeps "
      "the instrument's password\n"
      "[settings]\n";
  for (std::string_view name : kFieldNames) {
    const std::string value = fieldValue(fields, name);
    if (name == "password" && !showPassword) {
      out += ";password=***  (not shown: writing this sheet keeps the instrument's password)\n";
    } else if (value.find_first_of("\r\n") != std::string::npos) {
      out.append("; ").append(name).append(": holds a line break, left out\n");
    } else if (!fitsSheetLine(name, value)) {
      out.append("; ").append(name).append(": longer than a sheet line holds, left out\n");
    } else if (needsQuotes(value)) {
      out.append(name).append("=\"").append(value).append("\"\n");
    } else {
      out.append(name).append("=").append(value).append("\n");
    }
  }
  return out;
}

SheetResult parseSheet(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  SheetResult result;
  result.error = checkLayout(text);
  if (!result.error.empty()) return result;

  std::set<std::string_view> seen;
  for (const ini::Entry& entry : ini::sectionEntries(text, kSection)) {
    const std::optional<std::string_view> name = canonicalFieldName(entry.key);
    if (!name) {
      result.error = "the sheet names an unknown field " + quoteText(entry.key) + "; the fields are " +
                     fieldNameList();
      break;
    }
    if (!seen.insert(*name).second) {
      result.error = "the sheet sets " + std::string(*name) + " twice";
      break;
    }
    result.fields.emplace_back(std::string(*name), entry.value);
  }
  if (!result.error.empty()) result.fields.clear();
  return result;
}

}  // namespace netsetup::cli
