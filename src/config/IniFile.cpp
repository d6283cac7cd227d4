#include "config/IniFile.h"

#include "files/FileStore.h"
#include "text/AsciiCase.h"
#include "text/Blanks.h"
#include "text/ByteOrderMarks.h"
#include "text/Cp1251.h"
#include "text/Lines.h"
#include "text/Utf16.h"

namespace netsetup::ini {

namespace {

enum class Kind { Blank, Comment, Header, Key, Other };

struct Parsed {
  Kind kind = Kind::Blank;
  std::string_view name;   // section name or key
  std::string_view value;  // key lines only, trimmed
};

Parsed parse(std::string_view content) {
  std::string_view s = trimBlanks(content);
  if (s.empty()) return {};
  if (s.front() == ';') return {Kind::Comment, {}, {}};
  if (s.front() == '[') {
    s.remove_prefix(1);
    return {Kind::Header, trimBlanks(s.substr(0, s.find(']'))), {}};
  }
  std::size_t eq = s.find('=');
  if (eq == std::string_view::npos) return {Kind::Other, {}, {}};
  return {Kind::Key, trimBlanks(s.substr(0, eq)), trimBlanks(s.substr(eq + 1))};
}

// The profile service's view of a text: lines, their parse, and where the first matching
// section's body lies.
struct Document {
  std::string_view text;
  std::vector<LineSpan> lines;
  std::vector<Parsed> parsed;

  explicit Document(std::string_view t) : text(t), lines(splitLines(t)) {
    parsed.reserve(lines.size());
    for (const LineSpan& l : lines) parsed.push_back(parse(text.substr(l.start, l.stop - l.start)));
  }

  // Index of the first matching header, or lines.size() when none.
  std::size_t header(std::string_view section) const {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (parsed[i].kind == Kind::Header && equalsIgnoringAsciiCase(parsed[i].name, section)) return i;
    return lines.size();
  }

  // One past the last line of the section whose header is at `h`.
  std::size_t bodyEnd(std::size_t h) const {
    std::size_t i = h + 1;
    while (i < lines.size() && parsed[i].kind != Kind::Header) ++i;
    return i;
  }
};

std::string unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v.substr(0, kMaxValueLength));
}

bool endsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

}  // namespace

std::optional<std::string> findValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
  const Document doc(text);
  std::size_t h = doc.header(trimBlanks(section));
  if (h == doc.lines.size()) return std::nullopt;
  key = trimBlanks(key);
  for (std::size_t i = h + 1, end = doc.bodyEnd(h); i < end; ++i)
    if (doc.parsed[i].kind == Kind::Key && equalsIgnoringAsciiCase(doc.parsed[i].name, key))
      return unquote(doc.parsed[i].value);
  return std::nullopt;
}

std::vector<Entry> sectionEntries(std::string_view text, std::string_view section) {
  const Document doc(text);
  std::vector<Entry> entries;
  std::size_t h = doc.header(trimBlanks(section));
  if (h == doc.lines.size()) return entries;
  for (std::size_t i = h + 1, end = doc.bodyEnd(h); i < end; ++i)
    if (doc.parsed[i].kind == Kind::Key)
      entries.push_back({std::string(doc.parsed[i].name), unquote(doc.parsed[i].value), i + 1});
  return entries;
}

std::string setValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
  section = trimBlanks(section);
  key = trimBlanks(key);
  const Document doc(text);
  std::string out(text);

  std::size_t h = doc.header(section);
  if (h == doc.lines.size()) {
    if (!out.empty() && !endsWithLineBreak(out)) out += "\r\n";
    out.append("[").append(section).append("]\r\n");
    out.append(key).append("=").append(value).append("\r\n");
    return out;
  }

  std::size_t end = doc.bodyEnd(h);
  std::size_t anchor = h;  // the line a new key follows
  for (std::size_t i = h + 1; i < end; ++i) {
    const Parsed& p = doc.parsed[i];
    if (p.kind == Kind::Key && equalsIgnoringAsciiCase(p.name, key)) {
      const LineSpan& l = doc.lines[i];
      std::string line(p.name);
      line.append("=").append(value);
      return out.replace(l.start, l.stop - l.start, line);
    }
    if (p.kind == Kind::Key || p.kind == Kind::Other) anchor = i;
  }

  const LineSpan& a = doc.lines[anchor];
  std::string line(key);
  line.append("=").append(value).append("\r\n");
  if (a.next == a.stop) line.insert(0, "\r\n");  // the anchor is an unterminated last line
  return out.insert(a.next, line);
}

bool canWrite(std::string_view section, std::string_view key, std::string_view value) {
  auto hasBreak = [](std::string_view s) { return s.find_first_of("\r\n") != s.npos; };
  section = trimBlanks(section);
  key = trimBlanks(key);
  return !section.empty() && !key.empty() && !hasBreak(section) && !hasBreak(key) &&
         !hasBreak(value) && section.find(']') == section.npos && key.find('=') == key.npos &&
         key.front() != '[' && key.front() != ';';
}

// ---------------------------------------------------------------------------------------------

namespace {

bool isUtf16(const ProfileText& p) { return p.encoding != FileEncoding::Bytes; }

}  // namespace

ProfileText decodeProfile(std::string_view bytes) {
  ProfileText p;
  const bool le = bytes.starts_with(kUtf16LeMark), be = bytes.starts_with(kUtf16BeMark);
  if (!le && !be) {
    p.text = bytes;
    return p;
  }
  p.encoding = le ? FileEncoding::Utf16Le : FileEncoding::Utf16Be;
  bytes.remove_prefix(2);
  if (bytes.size() % 2) {
    p.oddByte = bytes.back();
    bytes.remove_suffix(1);
  }
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<uint8_t>(bytes[2 * i]), second = static_cast<uint8_t>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(le ? first | (second << 8) : (first << 8) | second);
  }
  p.text = utf16ToUtf8(units);
  return p;
}

std::string encodeProfile(const ProfileText& p) {
  if (!isUtf16(p)) return p.text;
  const bool le = p.encoding == FileEncoding::Utf16Le;
  std::string bytes(le ? kUtf16LeMark : kUtf16BeMark);
  for (char16_t unit : utf8ToUtf16(p.text)) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += le ? low : high;
    bytes += le ? high : low;
  }
  return bytes + p.oddByte;
}

// A UTF-16 file's text is held in UTF-8, so the 8-bit names are converted before they are
// looked up, as withValue converts them before it writes.
std::optional<std::string> profileValue(const ProfileText& p, std::string_view section, std::string_view key) {
  if (!isUtf16(p)) return findValue(p.text, section, key);
  auto value = findValue(p.text, decodeCp1251(section), decodeCp1251(key));
  if (value) value = encodeCp1251Replacing(*value);
  return value;
}

std::vector<Entry> profileSection(const ProfileText& p, std::string_view section) {
  std::vector<Entry> entries = sectionEntries(p.text, isUtf16(p) ? decodeCp1251(section) : std::string(section));
  if (isUtf16(p)) {
    for (Entry& e : entries) {
      e.key = encodeCp1251Replacing(e.key);
      e.value = encodeCp1251Replacing(e.value);
    }
  }
  return entries;
}

ProfileText withValue(ProfileText p, std::string_view section, std::string_view key, std::string_view value) {
  if (isUtf16(p)) {
    p.text = setValue(p.text, decodeCp1251(section), decodeCp1251(key), decodeCp1251(value));
  } else {
    p.text = setValue(p.text, section, key, value);
  }
  return p;
}

ProfileText readProfile(const std::string& path) {
  const Result<std::string> bytes = files::readFile(path);
  return decodeProfile(bytes ? *bytes : std::string());
}

std::optional<std::string> readValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
  auto bytes = files::readFile(path);
  if (!bytes) return std::nullopt;
  return profileValue(decodeProfile(*bytes), section, key);
}

std::vector<Entry> readSection(const std::string& path, std::string_view section) {
  return profileSection(readProfile(path), section);
}

Result<void> writeValue(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (!canWrite(section, key, value)) {
    return Failure{"cannot write " + path, "the key or the value would not read back as written"};
  }
  const auto change = [&](const std::string& bytes) {
    return encodeProfile(withValue(decodeProfile(bytes), section, key, value));
  };
  return files::updateFile(path, change);
}

}  // namespace netsetup::ini
