#include "cli/formats/Sheet.h"

#include <set>

#include "config/IniFile.h"
#include "text/AsciiCase.h"
#include "text/Blanks.h"
#include "text/ByteOrderMarks.h"
#include "text/Lines.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr std::string_view kSection = "settings";

bool isQuote(char c) { return c == '"' || c == '\''; }

// The reader trims blanks and removes one outer pair of matching quotes; a value it would
// change so goes inside a pair of double quotes, which the reader then removes.
bool needsQuotes(std::string_view v) {
  if (v.empty()) return false;
  if (isBlank(v.front()) || isBlank(v.back())) return true;
  return v.size() >= 2 && isQuote(v.front()) && v.back() == v.front();
}

// What the profile reader cannot show: how many [settings] sections there are, lines in the
// section it would skip without a word (a typo such as "ip: 10.0.0.5" would otherwise leave the
// field unchanged while the user believes it set), and lines it would cut.
Result<void> checkLayout(std::string_view text, std::string_view source) {
  int sections = 0;
  bool inSection = false;
  size_t number = 0;
  for (const LineSpan& span : splitLines(text)) {
    const std::string_view line = text.substr(span.start, span.stop - span.start);
    const std::string where = std::string(source) + " line " + std::to_string(++number);
    if (line.size() > kMaxSheetLineLength) {
      return Failure{where + " is " + std::to_string(line.size()) + " bytes long; a sheet line holds at most " +
                     std::to_string(kMaxSheetLineLength) + " bytes"};
    }
    const std::string_view s = trimBlanks(line);
    if (s.empty() || s.front() == ';') continue;
    if (s.front() == '[') {
      const std::string_view name = trimBlanks(s.substr(1, s.find(']') - 1));
      inSection = equalsIgnoringAsciiCase(name, kSection);
      if (inSection && ++sections > 1) return Failure{where + ": a second [settings] section"};
      continue;
    }
    if (inSection && s.find('=') == std::string_view::npos) {
      return Failure{where + ": " + quoteText(s) + " is not NAME=VALUE"};
    }
  }
  if (sections == 0) return Failure{std::string(source) + " has no [settings] section"};
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
  bool addressesNoted = false;
  for (std::string_view name : kFieldNames) {
    const std::string value = fieldValue(fields, name);
    if (!keptAddressNote(fields, name).empty() && !addressesNoted) {
      out += "; DHCP is on: the instrument takes its address from the network and keeps these for when it is off\n";
      addressesNoted = true;
    }
    if (isSecret(name) && !showPassword) {
      out.append(";").append(name).append("=").append(kHiddenValue);
      out.append("  (not shown: writing this sheet keeps the instrument's ").append(name).append(")\n");
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

std::vector<std::string> sheetNotes(std::string_view text, std::string_view source) {
  std::vector<std::string> notes;
  std::string section;
  bool any = false;  // a line before any section belongs to none
  size_t number = 0;
  for (const LineSpan& span : splitLines(withoutUtf8Mark(text))) {
    ++number;
    const std::string_view s = trimBlanks(withoutUtf8Mark(text).substr(span.start, span.stop - span.start));
    if (s.empty() || s.front() == ';') continue;
    if (s.front() == '[') {
      section = std::string(trimBlanks(s.substr(1, s.find(']') - 1)));
      any = true;
      continue;
    }
    if (any && equalsIgnoringAsciiCase(section, kSection)) continue;
    notes.push_back(std::string(source) + " line " + std::to_string(number) + ": " + quoteText(s) + " is " +
                    (any ? "in [" + visibleText(section) + "]" : "before any section") +
                    ", not in [settings]; left out");
  }
  return notes;
}

Result<FieldOverlay> parseSheet(std::string_view text, std::string_view source) {
  text = withoutUtf8Mark(text);
  if (Result<void> layout = checkLayout(text, source); !layout) return layout.failure();

  FieldOverlay fields;
  std::set<std::string_view> seen;
  for (const ini::Entry& entry : ini::sectionEntries(text, kSection)) {
    const std::optional<std::string_view> name = canonicalFieldName(entry.key);
    const std::string origin = std::string(source) + " line " + std::to_string(entry.line);
    if (!name) {
      return Failure{origin + ": unknown field " + quoteText(entry.key) + "; the fields are " + fieldNameList()};
    }
    if (!seen.insert(*name).second) return Failure{origin + ": " + std::string(*name) + " is set a second time"};
    fields.push_back({std::string(*name), entry.value, origin});
  }
  return fields;
}

}  // namespace netsetup::cli
