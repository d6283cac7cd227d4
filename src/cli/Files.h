#pragma once
#include <optional>
#include <string>

namespace netsetup::cli {

// A text file the tool reads: a sheet, a backup, a worklist, a report. nullopt when it cannot.
std::optional<std::string> readTextFile(const std::string& path);

// Writes `text` as the whole file so that a crash leaves the old file or the new one, never a
// mix; owner-only when the file is new and `secret` (it holds a password). An error line, or
// empty on success.
std::string writeTextFile(const std::string& path, const std::string& text, bool secret);

// Adds a line to a file the same way (the report, row after row).
std::string appendTextFile(const std::string& path, const std::string& header, const std::string& line);

// "backup-a1-20261207T112233Z.txt" in the current folder, or with "-2", "-3"... when taken.
std::string defaultBackupPath(uint8_t address, const std::string& utcTime);

}  // namespace netsetup::cli
