#pragma once
#include <functional>
#include <optional>
#include <string>

namespace netsetup::files {

// The platform's file system as the settings file needs it (src/config/posix, src/config/win32).
// Paths are UTF-8.

// The whole file; nullopt when it is missing, not a regular file or unreadable.
std::optional<std::string> readFile(const std::string& path);

// Replaces a file's bytes by `change(current bytes)` (empty for a file not there yet) so that a
// crash leaves the old file or the new one: through "<file>.tmp" in the same folder, synced and
// renamed over it, keeping the file's mode (and owner, where allowed). A symbolic link is written
// through to its target, which is created when missing. A file the user may not write is never
// replaced; a writable file in a folder where no temporary file can be made is rewritten in
// place instead. False on any failure, and then the file is as it was. A file made anew is
// readable by its owner only when `ownerOnly` (it holds a password), else by everyone.
bool updateFile(const std::string& path, const std::function<std::string(const std::string&)>& change,
                bool ownerOnly = false);

// Makes the folders a file's path needs; true when they exist afterwards.
bool makeFolders(const std::string& filePath);

}  // namespace netsetup::files
