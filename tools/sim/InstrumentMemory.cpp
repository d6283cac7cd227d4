#include "InstrumentMemory.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "files/FileStore.h"
#include "link/TcpPort.h"

namespace netsetup {

namespace {

void putText(SettingsArea& area, size_t offset, size_t size,
             std::string_view text) {
  for (size_t i = 0; i < size; ++i) area[offset + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
}

void putPort(SettingsArea& area, size_t offset, uint16_t port) {
  area[offset] = static_cast<uint8_t>(port & 0xFF);
  area[offset + 1] = static_cast<uint8_t>(port >> 8);
}

Failure systemError(std::string_view what, const std::string& path) {
  return {std::string(what) + " " + path, std::strerror(errno)};
}

}  // namespace

SettingsArea defaultSettingsArea() {
  SettingsArea area{};
  // Filler that differs from byte to byte and is never zero in the first 200 offsets, so a tool
  // that drops, zeroes or shifts the bytes it does not edit is caught.
  for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(i * 7 + 3);
  const uint8_t ip[] = {192, 168, 0, 10, 255, 255, 255, 0, 192, 168, 0, 1};
  for (size_t i = 0; i < sizeof ip; ++i) area[6 + i] = ip[i];
  putPort(area, 18, kDefaultTcpPort);
  putPort(area, 24, 9000);
  area[26] = 0;  // DHCP off
  putText(area, 42, 32, "dispatch.example.org");
  area[74] = 2;  // PAP
  putText(area, 75, 32, "internet");
  putText(area, 107, 16, "*99#");
  putText(area, 123, 16, "engineer");
  putText(area, 139, 16, "Pa55word");
  return area;
}

InstrumentMemory defaultMemory() {
  InstrumentMemory memory;
  for (size_t a = 0; a < memory.size(); ++a) memory[a] = static_cast<uint8_t>(a ^ (a >> 8));
  const auto area = defaultSettingsArea();
  for (size_t i = 0; i < area.size(); ++i) memory[kSettingsAreaAddress + i] = area[i];
  return memory;
}

Result<void> loadMemoryImage(const std::string& path, InstrumentMemory& memory) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return systemError("cannot open", path);
  InstrumentMemory image;
  const size_t got = std::fread(image.data(), 1, image.size(), file);
  const bool longer = std::fgetc(file) != EOF;
  std::fclose(file);
  if (got != image.size() || longer) {
    return Failure{path + ": a memory image must hold exactly " + std::to_string(image.size()) + " bytes"};
  }
  memory = image;
  return {};
}

Result<void> saveMemoryImage(const std::string& path, const InstrumentMemory& memory) {
  const std::string image(memory.begin(), memory.end());
  return files::updateFile(path, [&image](const std::string&) { return image; });
}

}  // namespace netsetup
