// The settings file's private-profile rules on any file content: what the window loads, and what
// one saved key does to the file.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "config/IniFile.h"
#include "text/Cp1251.h"
#include "text/IntegerText.h"

using namespace netsetup;
namespace ini = netsetup::ini;

namespace {

constexpr std::string_view kKeys[] = {"Port", "Baud", "UseIP", "SockIP", "SockPort"};

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// What a read gives for a value written as `value`: trimmed, one pair of outer quotes removed,
// cut to the longest value a read returns.
std::string readingOf(std::string_view value) {
  value = trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, ini::kMaxValueLength));
}

// Lines end at CR, LF or CRLF: [start, stop) is the content, `next` where the following begins.
struct Line {
  size_t start, stop, next;
};

std::vector<Line> linesOf(std::string_view text) {
  std::vector<Line> lines;
  for (size_t pos = 0; pos < text.size();) {
    size_t stop = text.find_first_of("\r\n", pos);
    if (stop == std::string_view::npos) stop = text.size();
    size_t next = stop == text.size() ? stop : stop + 1;
    if (stop < text.size() && text[stop] == '\r' && next < text.size() && text[next] == '\n') ++next;
    lines.push_back({pos, stop, next});
    pos = next;
  }
  return lines;
}

// The name of a header line, or nullopt for any other line.
std::optional<std::string_view> headerName(std::string_view content) {
  content = trim(content);
  if (!content.starts_with('[')) return std::nullopt;
  content.remove_prefix(1);
  return trim(content.substr(0, content.find(']')));
}

// `after` is `before` with `key` in `section` set to `value` (all three as the text holds them):
// every byte outside that section's body is unchanged, and its other keys read as before.
void checkOneKeyChanged(std::string_view before, std::string_view after, std::string_view section,
                        std::string_view key, std::string_view value) {
  section = trim(section);
  key = trim(key);
  const std::vector<Line> lines = linesOf(before);
  size_t header = lines.size();
  for (size_t i = 0; i < lines.size() && header == lines.size(); ++i) {
    const auto name = headerName(before.substr(lines[i].start, lines[i].stop - lines[i].start));
    if (name && sameName(*name, section)) header = i;
  }
  if (header == lines.size()) {
    std::string expected(before);
    if (!expected.empty() && expected.back() != '\r' && expected.back() != '\n') expected += "\r\n";
    expected.append("[").append(section).append("]\r\n").append(key).append("=").append(value).append("\r\n");
    FUZZ_CHECK_EQ(after, expected, "a new section is appended, the file before it untouched");
    return;
  }
  size_t end = header + 1;
  while (end < lines.size() && !headerName(before.substr(lines[end].start, lines[end].stop - lines[end].start)))
    ++end;
  const size_t keep = lines[header].stop;
  const size_t tail = end < lines.size() ? lines[end].start : before.size();
  FUZZ_CHECK(after.size() >= keep + (before.size() - tail), "the file only grows or shrinks in the section");
  FUZZ_CHECK_EQ(after.substr(0, keep), before.substr(0, keep), "everything up to the section's header is kept");
  FUZZ_CHECK_EQ(after.substr(after.size() - (before.size() - tail)), before.substr(tail),
                "everything after the section is kept");

  std::vector<ini::Entry> expected = ini::sectionEntries(before, section);
  bool replaced = false;
  for (ini::Entry& e : expected) {
    if (sameName(e.key, key)) {
      e.value = readingOf(value);
      replaced = true;
      break;
    }
  }
  if (!replaced) expected.push_back({std::string(key), readingOf(value)});
  const std::vector<ini::Entry> got = ini::sectionEntries(after, section);
  FUZZ_CHECK(got.size() == expected.size(), "the section gains at most the one key");
  for (size_t i = 0; i < got.size(); ++i) {
    FUZZ_CHECK_EQ(got[i].key, expected[i].key, "the section's key names are kept, in order");
    FUZZ_CHECK_EQ(got[i].value, expected[i].value, "the section's other values are kept");
  }
}

// A read of a key is the first matching entry of its section.
void checkReaders(std::string_view text, std::string_view section, std::string_view key) {
  const std::optional<std::string> value = ini::findValue(text, section, key);
  std::optional<std::string> first;
  for (const ini::Entry& e : ini::sectionEntries(text, section)) {
    if (sameName(e.key, trim(key))) {
      first = e.value;
      break;
    }
  }
  FUZZ_CHECK(value == first, "findValue is the first matching entry of sectionEntries");
  if (value) FUZZ_CHECK(value->size() <= ini::kMaxValueLength, "a value is cut to the longest a read returns");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const uint8_t choice = in.ConsumeIntegral<uint8_t>();
  std::string section = (choice & 1) ? in.ConsumeRandomLengthString(16) : "#";
  std::string key = (choice & 2) ? in.ConsumeRandomLengthString(16) : std::string(kKeys[(choice >> 2) % 5]);
  const std::string value = in.ConsumeRandomLengthString(64);
  const std::string file = in.ConsumeRemainingBytesAsString();

  // Any file: held and written back byte for byte, whatever its encoding.
  const ini::ProfileText profile = ini::decodeProfile(file);
  FUZZ_CHECK_EQ(ini::encodeProfile(profile), file, "a file decoded and encoded is unchanged");

  // What the window loads.
  for (std::string_view k : kKeys) {
    if (const auto v = ini::profileValue(profile, "#", k)) (void)parseInteger(*v);
  }
  (void)ini::profileSection(profile, "Ports");
  checkReaders(profile.text, "#", "Port");
  checkReaders(profile.text, section, key);

  // What one save does.
  if (!ini::canWrite(section, key, value)) return 0;
  const bool utf16 = profile.encoding != ini::FileEncoding::Bytes;
  const ini::ProfileText changed = ini::withValue(profile, section, key, value);
  FUZZ_CHECK(changed.encoding == profile.encoding && changed.oddByte == profile.oddByte,
             "a save keeps the file's encoding");
  const std::string text = [&](std::string_view s) { return utf16 ? decodeCp1251(s) : std::string(s); }(value);
  checkOneKeyChanged(profile.text, changed.text, utf16 ? decodeCp1251(section) : section,
                     utf16 ? decodeCp1251(key) : key, text);

  const std::string saved = ini::encodeProfile(changed);
  const ini::ProfileText reread = ini::decodeProfile(saved);
  FUZZ_CHECK(reread.encoding == profile.encoding, "the saved file is read in its encoding");
  FUZZ_CHECK_EQ(reread.text, changed.text, "the saved file reads as it was written");
  // A UTF-16 file holds its text in UTF-8 here, and the reader cuts that: a long value cut
  // inside a character is not a fair comparison.
  if (!utf16 || text.size() <= ini::kMaxValueLength) {
    const std::optional<std::string> got = ini::profileValue(reread, section, key);
    FUZZ_CHECK(got.has_value(), "a saved key is found again");
    FUZZ_CHECK_EQ(*got, readingOf(value), "a saved key reads back as written");
  }
  return 0;
}
