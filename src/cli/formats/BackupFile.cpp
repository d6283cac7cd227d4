#include "cli/formats/BackupFile.h"

#include <array>

#include "cli/formats/FieldNames.h"
#include "text/Blanks.h"
#include "text/ByteOrderMarks.h"
#include "text/Hex.h"
#include "text/Lines.h"
#include "text/Quote.h"
#include "text/Utf8.h"

namespace netsetup::cli {

namespace {

constexpr size_t kBytesPerLine = 20;
constexpr size_t kAreaLines = kSettingsAreaSize / kBytesPerLine;
static_assert(kAreaLines * kBytesPerLine == kSettingsAreaSize);

constexpr std::string_view kCheckPrefix = "crc32:";
constexpr std::string_view kFirstLine = "# netsetup backup of an instrument's settings area,";

std::string areaText() { return "0x" + hexDigits(kSettingsAreaAddress, 4) + "+" + std::to_string(kSettingsAreaSize); }

// The value of the `digits` hex digits at text[pos].
std::optional<uint32_t> hexAt(std::string_view text, size_t pos, size_t digits) {
  if (pos + digits > text.size()) return std::nullopt;
  return parseHexDigits(text.substr(pos, digits));
}

bool isDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

int number(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

std::optional<uint8_t> parseAddress(std::string_view v) {
  if (!isDigits(v) || v.size() > 3 || (v.size() > 1 && v.front() == '0')) return std::nullopt;
  const int value = number(v);
  if (value > 255) return std::nullopt;
  return static_cast<uint8_t>(value);
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// "YYYY-MM-DDTHH:MM:SSZ" with a real date (from 1970) and time (a leap second allowed).
bool isUtcTime(std::string_view t) {
  if (t.size() != 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':' ||
      t[19] != 'Z')
    return false;
  const std::string_view parts[] = {t.substr(0, 4), t.substr(5, 2), t.substr(8, 2),
                                    t.substr(11, 2), t.substr(14, 2), t.substr(17, 2)};
  for (std::string_view p : parts)
    if (!isDigits(p)) return false;
  const int year = number(parts[0]), month = number(parts[1]), day = number(parts[2]);
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1970 || month < 1 || month > 12 || day < 1) return false;
  const int days = kDays[static_cast<size_t>(month - 1)] + (month == 2 && isLeapYear(year) ? 1 : 0);
  return day <= days && number(parts[3]) <= 23 && number(parts[4]) <= 59 && number(parts[5]) <= 60;
}

// Non-empty UTF-8 without control characters.
bool isTextLine(std::string_view s) {
  if (s.empty()) return false;
  for (size_t pos = 0; pos < s.size();) {
    const std::optional<char32_t> c = readUtf8(s, pos);
    if (!c || *c < 0x20 || *c == 0x7F) return false;
  }
  return true;
}

bool isPrintableAscii(std::string_view s) {
  for (char c : s)
    if (c < 0x20 || c > 0x7E) return false;  // char may be signed: bytes >= 0x80 are negative
  return !s.empty();
}

// An area line "OOOO: XX XX ... XX" holding the offset `offset`: its bytes go to `area`.
Result<void> readAreaLine(std::string_view line, size_t offset, SettingsArea& area) {
  const uint32_t found = *hexAt(line, 0, 4);  // an area line's offset
  if (offset >= kSettingsAreaSize) return Failure{"expected no more area lines, found offset " + hexDigits(found, 4)};
  if (found != offset) {
    return Failure{"expected offset " + hexDigits(static_cast<uint32_t>(offset), 4) + ", found " + hexDigits(found, 4)};
  }
  const size_t length = 5 + kBytesPerLine * 3;
  bool ok = line.size() == length;
  for (size_t i = 0; ok && i < kBytesPerLine; ++i) {
    const size_t pos = 5 + i * 3;
    const std::optional<uint32_t> byte = hexAt(line, pos + 1, 2);
    ok = line[pos] == ' ' && byte;
    if (ok) area[offset + i] = static_cast<uint8_t>(*byte);
  }
  if (!ok) {
    return Failure{"expected " + std::to_string(kBytesPerLine) + " bytes as two hex digits each after the offset"};
  }
  return {};
}

bool isAreaLine(std::string_view line) { return line.size() >= 5 && hexAt(line, 0, 4) && line[4] == ':'; }

// The key=value lines of a backup as found, each at most once.
struct BackupKeys {
  std::optional<std::string_view> type, address, time, area, link, name;
  std::optional<uint32_t> check;
};

Result<void> readCheck(std::string_view value, std::optional<uint32_t>& check) {
  if (check) return Failure{"check given a second time"};
  const std::optional<uint32_t> crc = hexAt(value, kCheckPrefix.size(), 8);
  if (!value.starts_with(kCheckPrefix) || value.size() != kCheckPrefix.size() + 8 || !crc)
    return Failure{"check must be crc32: and 8 hex digits, found " + quoteText(value)};
  check = *crc;
  return {};
}

// A key=value line into `keys`, the value checked as its key wants it.
Result<void> readKeyLine(std::string_view line, BackupKeys& keys) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return Failure{"not a key=value, area or comment line: " + quoteText(line)};
  const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
  if (key == "check") return readCheck(value, keys.check);
  std::optional<std::string_view>* slot = key == "type"      ? &keys.type
                                          : key == "address" ? &keys.address
                                          : key == "time"    ? &keys.time
                                          : key == "area"    ? &keys.area
                                          : key == "link"    ? &keys.link
                                          : key == "name"    ? &keys.name
                                                             : nullptr;
  if (!slot) return Failure{"unknown key " + quoteText(key)};
  if (*slot) return Failure{std::string(key) + " given a second time"};
  *slot = value;
  if (slot == &keys.type && !isPrintableAscii(value))
    return Failure{"type must be printable ASCII, found " + quoteText(value)};
  if (slot == &keys.address && !parseAddress(value))
    return Failure{"address must be 0..255 in decimal, found " + quoteText(value)};
  if (slot == &keys.time && !isUtcTime(value))
    return Failure{"time must be a UTC time YYYY-MM-DDTHH:MM:SSZ, found " + quoteText(value)};
  if ((slot == &keys.link || slot == &keys.name) && !isTextLine(value))
    return Failure{std::string(key) + " must be one line of UTF-8 text, found " + quoteText(value)};
  if (slot == &keys.area && value != areaText())
    return Failure{"area must be " + areaText() + " (the settings area), found " + quoteText(value)};
  return {};
}

// The backup once every line is read: nothing missing, and the check holding.
Result<Backup> completeBackup(const BackupKeys& keys, size_t areaLines, Backup backup) {
  const auto missing = [](std::string_view what) {
    return Failure{"backup: the " + std::string(what) + " line is missing"};
  };
  if (!keys.type) return missing("type=");
  if (!keys.address) return missing("address=");
  if (!keys.time) return missing("time=");
  if (!keys.area) return missing("area=");
  if (areaLines < kAreaLines) {
    return Failure{"backup: the area ends after " + std::to_string(areaLines) + " of " + std::to_string(kAreaLines) +
                   " lines (offset " + hexDigits(static_cast<uint32_t>(areaLines * kBytesPerLine), 4) + " is missing)"};
  }
  if (!keys.check) return missing("check=");

  backup.type = std::string(*keys.type);
  backup.address = *parseAddress(*keys.address);
  backup.timeUtc = std::string(*keys.time);
  backup.link = std::string(keys.link.value_or(""));
  backup.name = std::string(keys.name.value_or(""));
  if (backupCheck(backup) != *keys.check) return Failure{"backup check failed: the file was changed or damaged"};
  return backup;
}

}  // namespace

uint32_t backupCheck(const Backup& backup) {
  std::string bytes = backup.type + "\n" + std::to_string(backup.address) + "\n" + backup.timeUtc + "\n";
  if (!backup.link.empty() || !backup.name.empty()) bytes += "link=" + backup.link + "\nname=" + backup.name + "\n";
  bytes.append(reinterpret_cast<const char*>(backup.area.data()), backup.area.size());
  return crc32(bytes);
}

bool looksLikeBackup(std::string_view text) { return withoutUtf8Mark(text).starts_with(kFirstLine); }

std::string formatBackup(const Backup& backup, const NetworkFields& decoded) {
  std::string out = std::string(kFirstLine) + " as read; restore it with: netsetup-cli restore FILE\n";
  out += "type=" + backup.type + "\n";
  out += "address=" + std::to_string(backup.address) + "\n";
  out += "time=" + backup.timeUtc + "\n";
  if (!backup.link.empty()) out += "link=" + backup.link + "\n";
  if (!backup.name.empty()) out += "name=" + backup.name + "\n";
  out += "area=" + areaText() + "\n";
  for (size_t offset = 0; offset < kSettingsAreaSize; offset += kBytesPerLine) {
    out += hexDigits(static_cast<uint32_t>(offset), 4) + ":";
    for (size_t i = 0; i < kBytesPerLine; ++i) out += " " + hexDigits(backup.area[offset + i], 2);
    out += "\n";
  }
  for (std::string_view name : kFieldNames) {
    const std::string value = isSecret(name) ? std::string(kHiddenValue) : visibleText(fieldValue(decoded, name));
    const std::string_view note = keptAddressNote(decoded, name);
    out.append("# ").append(name).append("=").append(value).append(note.empty() ? "" : "  ").append(note).append("\n");
  }
  out += "check=" + std::string(kCheckPrefix) + hexDigits(backupCheck(backup), 8) + "\n";
  return out;
}

Result<Backup> parseBackup(std::string_view text) {
  text = withoutUtf8Mark(text);
  Backup backup;
  BackupKeys keys;
  size_t areaLines = 0;
  const std::vector<LineSpan> lines = splitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = text.substr(lines[i].start, lines[i].stop - lines[i].start);
    if (trimBlanks(line).empty() || line.front() == '#') continue;
    const bool inArea = isAreaLine(line);
    const Result<void> read =
        inArea ? readAreaLine(line, areaLines * kBytesPerLine, backup.area) : readKeyLine(line, keys);
    if (!read) return Failure{"backup line " + std::to_string(i + 1) + ": " + read.failure().text()};
    if (inArea) ++areaLines;
  }
  return completeBackup(keys, areaLines, std::move(backup));
}

}  // namespace netsetup::cli
