#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/Result.h"

namespace netsetup::cli {

// The files the tool reads and writes. Every Failure carries the system's reason:
// "cannot write /nonexist/x.ini: No such file or directory".

// A text file the tool reads: a sheet, a backup, a worklist, a report. `what` names it in the
// failure: "cannot read the sheet /dev/stdin: not a regular file ...".
Result<std::string> readTextFile(const std::string& path, std::string_view what = {});

// Writes `text` as the whole file so that a crash leaves the old file or the new one, never a
// mix; owner-only when the file is new and `secret` (it holds a password).
Result<void> writeTextFile(const std::string& path, const std::string& text, bool secret);

// Adds a line to a file the same way (the report, row after row); `header` starts a new file.
Result<void> appendTextFile(const std::string& path, const std::string& header, const std::string& line);

// A backup never replaces a file: both of these make a new one, owner-only (it holds the
// password), and refuse a name that is taken, even by another process in the same moment.

// At `path` exactly; a taken name is a Failure.
Result<void> saveNewFile(const std::string& path, const std::string& text);

// At the first free one of "<stem>.txt", "<stem>-2.txt", "<stem>-3.txt"...; the path used.
Result<std::string> saveUnderFreeName(const std::string& stem, const std::string& text);

// The oldest file saveUnderFreeName made in `folder` from a stem "<prefix><stamp>" (see
// backupStamp): by stamp, then by number.
std::optional<std::string> oldestSaved(const std::string& folder, const std::string& prefix);

// "20261207T112233Z" for "2026-12-07T11:22:33Z": the time as backup names carry it.
std::string backupStamp(const std::string& utcTime);

// How a backup's name starts, before the time (backupStamp) and a number when taken:
// "pump 1-backup-a1-10.0.0.5_10001-", "backup-a1-ttyUSB0-". The instrument's name (when given),
// its address and its link (linkFileName) say whose area it holds.
std::string backupStem(std::string_view name, std::string_view link, uint8_t address);

// `text` usable in a file name on every system: / \ : * ? " < > | and control characters become
// '_'; everything else (UTF-8 included) stays.
std::string fileNamePart(std::string_view text);

// A random secret kept in `folder` (".resume-key", owner-only, made on first use), for digests
// that must tell nothing to someone without the folder.
Result<std::string> folderSecret(const std::string& folder);

// Makes `folder` (and those above it) and checks that files can be made in it, with a file made
// and removed again.
Result<void> prepareFolder(const std::string& folder);

}  // namespace netsetup::cli
