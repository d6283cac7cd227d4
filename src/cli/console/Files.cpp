#include "cli/console/Files.h"

#include <algorithm>
#include <filesystem>
#include <random>

#include "files/FileStore.h"
#include "text/Hex.h"

namespace netsetup::cli {

namespace {

using files::nativePath;
using files::utf8Path;

// "20261207T112233Z": 8 digits, T, 6 digits, Z.
bool isStamp(std::string_view text) {
  if (text.size() != 16 || text[8] != 'T' || text[15] != 'Z') return false;
  for (size_t i = 0; i < 15; ++i) {
    if (i != 8 && (text[i] < '0' || text[i] > '9')) return false;
  }
  return true;
}

}  // namespace

Result<std::string> readTextFile(const std::string& path, std::string_view what) {
  Result<std::string> text = files::readFile(path);
  if (text || what.empty()) return text;
  return Failure{"cannot read " + std::string(what) + " " + path, text.failure().reason};
}

Result<void> writeTextFile(const std::string& path, const std::string& text, bool secret) {
  return files::updateFile(path, [&](const std::string&) { return text; }, secret);
}

Result<void> appendTextFile(const std::string& path, const std::string& header, const std::string& line) {
  const auto append = [&](const std::string& current) { return (current.empty() ? header : current) + line; };
  return files::updateFile(path, append);
}

Result<void> saveNewFile(const std::string& path, const std::string& text) {
  const Result<bool> created = files::createFile(path, text, true);
  if (!created) return created.failure();
  if (!*created) return Failure{"cannot write " + path, "that file exists already; a backup never replaces one"};
  return {};
}

Result<std::string> saveUnderFreeName(const std::string& stem, const std::string& text) {
  constexpr int kTries = 1000;
  for (int n = 1; n <= kTries; ++n) {
    const std::string path = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".txt";
    const Result<bool> created = files::createFile(path, text, true);
    if (!created) return created.failure();
    if (*created) return path;
  }
  return Failure{"cannot write " + stem + ".txt", "it and " + std::to_string(kTries - 1) + " numbered names are taken"};
}

std::optional<std::string> oldestSaved(const std::string& folder, const std::string& prefix) {
  std::optional<std::pair<std::string, unsigned long>> oldest;  // stamp, number
  std::string oldestName;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(nativePath(folder), error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = utf8Path(entry->path().filename());
    if (name.size() < prefix.size() + 16 + 4 || !name.starts_with(prefix) || !name.ends_with(".txt")) continue;
    const std::string rest = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    if (!isStamp(std::string_view(rest).substr(0, 16))) continue;
    unsigned long number = 1;
    if (rest.size() > 16) {
      const std::string digits = rest.substr(17);
      if (rest[16] != '-' || digits.empty() || digits.size() > 6 ||
          !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        continue;
      }
      number = std::stoul(digits);
    }
    const std::pair<std::string, unsigned long> key{rest.substr(0, 16), number};
    if (!oldest || key < *oldest) {
      oldest = key;
      oldestName = name;
    }
  }
  if (!oldest) return std::nullopt;
  return files::inFolder(folder, oldestName);
}

std::string backupStamp(const std::string& utcTime) {
  std::string stamp = utcTime;
  stamp.erase(std::remove_if(stamp.begin(), stamp.end(), [](char c) { return c == '-' || c == ':'; }), stamp.end());
  return stamp;
}

std::string backupStem(std::string_view name, std::string_view link, uint8_t address) {
  return (name.empty() ? "" : fileNamePart(name) + "-") + "backup-a" + std::to_string(address) + "-" +
         std::string(link) + "-";
}

std::string fileNamePart(std::string_view text) {
  std::string part(text);
  for (char& c : part) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return part;
}

Result<std::string> folderSecret(const std::string& folder) {
  const std::string path = files::inFolder(folder, ".resume-key");
  std::random_device random;
  std::string secret;
  for (int i = 0; i < 4; ++i) secret += hexDigits(random(), 8);
  // Made at most once: whoever made it first, every run reads the same.
  if (const Result<bool> made = files::createFile(path, secret + "\n", true); !made) return made.failure();
  const Result<std::string> kept = readTextFile(path, "the key of the report's digests");
  if (!kept) return kept.failure();
  return std::string(kept->substr(0, kept->find('\n')));
}

Result<void> prepareFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(nativePath(folder), error);
  if (error) return Failure{"cannot make the folder " + folder, error.message()};
  const Result<std::string> probe = saveUnderFreeName(utf8Path(nativePath(folder) / ".write-test"), "");
  if (!probe) return probe.failure();
  return files::removeFile(*probe);
}

}  // namespace netsetup::cli
