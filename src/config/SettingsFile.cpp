#include "config/SettingsFile.h"

#include <string_view>
#include <utility>
#include <vector>

#include "files/FileStore.h"
#include "config/IniFile.h"
#include "text/ComPortName.h"
#include "text/Cp1251.h"
#include "text/IntegerText.h"
#include "text/Utf8.h"

namespace netsetup {

namespace {

constexpr std::string_view kSection = "#";
constexpr std::string_view kPortsSection = "Ports";

int integerOr(const std::optional<std::string>& value, int fallback) {
  if (!value) return fallback;
  auto number = parseInteger(*value);
  return number ? *number : fallback;
}

// The Windows-1251 bytes the file stores for `key`'s text, or why they cannot be stored: the
// box's `failure` with the reason.
Result<std::string> storedBytes(std::string_view key, const std::string& text, const std::string& failure) {
  Cp1251Encoding encoded = encodeCp1251(text);
  if (encoded.invalidUtf8) return Failure{failure, "the " + std::string(key) + " text is not valid UTF-8"};
  if (!encoded.unmappable.empty()) {
    std::string chars;
    for (char32_t c : encoded.unmappable) {
      if (!chars.empty()) chars += ", ";
      appendUtf8(chars, c);
    }
    return Failure{failure, "the " + std::string(key) + " text holds " + chars + ", which Windows-1251 cannot store"};
  }
  if (!ini::canWrite(kSection, key, encoded.bytes)) return Failure{failure};
  return std::move(encoded.bytes);
}

}  // namespace

std::string settingsPathFor(const std::string& executablePath) {
  std::size_t nameStart = executablePath.rfind('/');
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t dot = executablePath.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return executablePath + ".ini";
  return executablePath.substr(0, dot) + ".ini";
}

SettingsFile::SettingsFile(std::string path) : location_{path, path} {}

SettingsFile::SettingsFile(SettingsLocation location) : location_(std::move(location)) {}

LinkSettings SettingsFile::load() const {
  const ini::ProfileText profile = ini::readProfile(location_.readPath);
  auto value = [&](std::string_view key) { return ini::profileValue(profile, kSection, key); };
  LinkSettings defaults;
  LinkSettings s;
  s.port = integerOr(value("Port"), defaults.port);
  s.baud = integerOr(value("Baud"), defaults.baud);
  s.useIp = integerOr(value("UseIP"), 0) != 0;
  auto ip = value("SockIP");
  s.sockIp = ip ? decodeCp1251(*ip) : defaults.sockIp;
  auto port = value("SockPort");
  s.sockPort = port ? decodeCp1251(*port) : defaults.sockPort;
  return s;
}

PortMap SettingsFile::portMap() const {
  PortMap map;
  bool named[PortMap::kPortCount + 1] = {};
  for (const ini::Entry& e : ini::readSection(location_.readPath, kPortsSection)) {
    const unsigned n = comPortNumber(e.key);
    // The first entry for a port wins, as a read of that key would see it.
    if (n == 0 || n > PortMap::kPortCount || named[n]) continue;
    named[n] = true;
    if (!e.value.empty()) map.set(n, decodeCp1251(e.value));
  }
  return map;
}

Result<void> SettingsFile::save(const LinkSettings& settings) const {
  const std::string failure = "Unable to write to " + location_.writePath;
  const std::pair<std::string_view, std::string> items[] = {
      {"Port", std::to_string(settings.port)},
      {"Baud", std::to_string(settings.baud)},
      {"UseIP", settings.useIp ? "1" : "0"},
      {"SockIP", settings.sockIp},
      {"SockPort", settings.sockPort},
  };
  // The keys in order, up to the first one that cannot be stored; the ones before it are saved.
  std::vector<std::pair<std::string_view, std::string>> keys;
  Result<void> refused;
  for (const auto& [key, text] : items) {
    Result<std::string> bytes = storedBytes(key, text, failure);
    if (!bytes) {
      refused = bytes.failure();
      break;
    }
    keys.emplace_back(key, std::move(bytes).value());
  }
  if (keys.empty()) return refused;
  // One replacement of the whole file for all of them, so a crash or a full disk leaves the old
  // file or the new one, never some keys of each.
  const bool elsewhere = location_.writePath != location_.readPath;
  if (elsewhere && !files::makeFolders(location_.writePath)) return Failure{failure};
  const Result<void> written = files::updateFile(location_.writePath, [&](const std::string& bytes) {
    const bool start = elsewhere && bytes.empty();
    const Result<std::string> startBytes = start ? files::readFile(location_.readPath) : Result<std::string>(bytes);
    ini::ProfileText profile = ini::decodeProfile(startBytes ? *startBytes : std::string());
    for (const auto& [key, value] : keys) profile = ini::withValue(std::move(profile), kSection, key, value);
    return ini::encodeProfile(profile);
  });
  // The error box's message names the file only.
  if (!written) return Failure{failure};
  return refused;
}

}  // namespace netsetup
