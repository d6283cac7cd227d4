#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/Result.h"

namespace netsetup::files {

// The platform's file system as the settings file and the command-line tool need it
// (src/config/posix, src/config/win32). Paths are UTF-8. A Failure carries the system's own
// words for what went wrong ("No such file or directory", "Permission denied").

// The whole file. Fails for a file that is missing, unreadable or not a regular file (a pipe,
// a device, a folder).
Result<std::string> readFile(const std::string& path);

// The whole of what `path` gives, a pipe or a terminal too ("-" is standard input), up to
// `limit` bytes: more is refused. For small texts a person may hand over any way (a sheet).
Result<std::string> readStream(const std::string& path, size_t limit);

// Replaces a file's bytes by `change(current bytes)` (empty for a file not there yet) so that a
// crash leaves the old file or the new one: through "<file>.tmp" in the same folder, synced and
// renamed over it, keeping the file's mode (and owner, where allowed). A symbolic link is written
// through to its target, which is created when missing. A file the user may not write is never
// replaced; a writable file in a folder where no temporary file can be made is rewritten in
// place instead. On any failure the file is as it was. A file made anew is readable by its owner
// only when `ownerOnly` (it holds a password), else by everyone.
Result<void> updateFile(const std::string& path, const std::function<std::string(const std::string&)>& change,
                        bool ownerOnly = false);

// Makes a new file holding `bytes`, never touching anything already at `path`: false when the
// name is taken. The bytes are written and synced under a temporary name, then linked (moved,
// on Windows) to `path` in a step that refuses an existing name, so two processes choosing the
// same name at once get one each, and a failure or a crash never leaves a partial file there.
Result<bool> createFile(const std::string& path, std::string_view bytes, bool ownerOnly);

// Removes a file; removing one that is not there is no error.
Result<void> removeFile(const std::string& path);

// The file a path leads to, for naming it alike however it is reached: symbolic links followed
// (the last one too, even when its target does not exist yet), the folder made absolute and
// canonical. As given when it cannot be worked out.
std::string realPath(const std::string& path);

// Whether two paths name one file (by identity, not by name: through links, other spellings,
// hard links). False when either does not exist.
bool sameFile(const std::string& a, const std::string& b);

// A UTF-8 path for std::filesystem, and back.
std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

// `name` in `folder`, joined with the platform's separator (C:\x\y.txt on Windows).
std::string inFolder(const std::string& folder, const std::string& name);

// Makes the folders a file's path needs; a Failure when they do not exist afterwards.
Result<void> makeFolders(const std::string& filePath);

// Makes `folder` and any missing folder above it; those it makes are readable by their owner
// only when `ownerOnly`. A Failure names the folder with the system's reason.
Result<void> makeFolder(const std::string& folder, bool ownerOnly);

// `path` from the root: a relative path taken from the current folder, so that a message or a
// command to paste names the same file wherever it is read.
std::string absolutePath(const std::string& path);

// A lock on a file of its own, held by one process at a time while the object lives; the file
// holds the holder's process id so that others can say who it is, and goes when it is released.
// Advisory: it keeps out only those that take the same lock.
class FileLock {
 public:
  // Made by tryLock: the platform's handle of the open lock file.
  FileLock(std::intptr_t handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  FileLock(FileLock&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) { other.handle_ = -1; }
  FileLock& operator=(FileLock&&) = delete;
  FileLock(const FileLock&) = delete;
  ~FileLock();

 private:
  std::intptr_t handle_;  // a file descriptor, or a Windows HANDLE; -1 when moved from
  std::string path_;
};

struct LockAttempt {
  std::optional<FileLock> lock;  // held by this process from now on
  std::string heldBy;            // else who holds it: "process 4242 (netsetup-cli)", "another process"
};

// Adds `line` at the end of the file (made, owner-only when `ownerOnly`, when missing) in one
// write under the file's own lock, waiting for it, so lines that processes add at the same
// moment never mix.
Result<void> appendLocked(const std::string& path, std::string_view line, bool ownerOnly);

// Takes the lock `path` (creating the file) without waiting. A Failure when the lock file
// cannot be made or opened.
Result<LockAttempt> tryLock(const std::string& path);

}  // namespace netsetup::files
