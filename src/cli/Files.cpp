#include "cli/Files.h"

#include <algorithm>
#include <filesystem>

#include "config/FileStore.h"

namespace netsetup::cli {

std::optional<std::string> readTextFile(const std::string& path) { return files::readFile(path); }

std::string writeTextFile(const std::string& path, const std::string& text, bool secret) {
  if (files::updateFile(path, [&](const std::string&) { return text; }, secret)) return {};
  return "cannot write " + path;
}

std::string appendTextFile(const std::string& path, const std::string& header, const std::string& line) {
  const auto append = [&](const std::string& current) { return (current.empty() ? header : current) + line; };
  if (files::updateFile(path, append)) return {};
  return "cannot write " + path;
}

std::string defaultBackupPath(uint8_t address, const std::string& utcTime) {
  std::string stamp = utcTime;
  stamp.erase(std::remove_if(stamp.begin(), stamp.end(), [](char c) { return c == '-' || c == ':'; }), stamp.end());
  const std::string base = "backup-a" + std::to_string(address) + "-" + stamp;
  std::string path = base + ".txt";
  for (int n = 2; std::filesystem::exists(path); ++n) path = base + "-" + std::to_string(n) + ".txt";
  return path;
}

}  // namespace netsetup::cli
