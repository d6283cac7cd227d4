#pragma once
#include <string>

#include "config/SettingsLocation.h"
#include "link/PortMap.h"
#include "link/TcpPort.h"
#include "text/Result.h"

namespace netsetup {

// The link choice the window remembers between runs. Texts are UTF-8.
struct LinkSettings {
  int port = 0;  // CBPort index, -1 when none
  int baud = 0;  // CBBaud index, -1 when none
  bool useIp = false;
  std::string sockIp;
  std::string sockPort = kDefaultTcpPortText.data();
};

// The executable's path with the extension of its file name replaced by ".ini" (appended when
// the name has none).
std::string settingsPathFor(const std::string& executablePath);

// The settings file: section "#" with the link keys, and the optional section "[Ports]" that
// names another device for any COMn entry. The file's texts are Windows-1251.
class SettingsFile {
 public:
  explicit SettingsFile(std::string path);
  // Read from one file and written to another (the user's own, see SettingsLocation): the
  // first save starts the written file from the read one, so nothing in it is lost.
  explicit SettingsFile(SettingsLocation location);

  // Missing file, keys or unreadable values give the defaults of LinkSettings.
  LinkSettings load() const;

  // The default map with the file's "COMn=/dev/..." entries applied; unknown names are ignored.
  PortMap portMap() const;

  // Writes Port, Baud, UseIP, SockIP, SockPort in one replacement of the file; stops at the
  // first key that cannot be stored (the keys before it are saved); a Failure's text() is the
  // error box's message.
  Result<void> save(const LinkSettings& settings) const;

  // The file written (and read, unless it does not exist yet).
  const std::string& path() const { return location_.writePath; }
  const SettingsLocation& location() const { return location_; }

 private:
  SettingsLocation location_;
};

}  // namespace netsetup
