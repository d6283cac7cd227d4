#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/Result.h"

namespace netsetup::files {

// The platform's file calls that FileStore's operations are built from (src/config/posix,
// src/config/win32 implement them with system calls only; tests pass a fake). Paths are UTF-8.

// What a call that failed reports: the system's own words, and the few cases the operations
// above tell apart.
struct SystemError {
  enum class Kind {
    Other,
    NotFound,  // no such file
    Exists,    // the name is taken
    Refused,   // createNew only: the folder takes no new file (permissions, a read-only disk)
  };
  Kind kind = Kind::Other;
  std::string reason;
};

template <class T = void>
using SystemResult = Result<T, SystemError>;

// What a replacement takes over from the file it replaces (POSIX mode and owner; Windows gives
// a new file its folder's permissions, so nothing there).
struct FileStatus {
  bool regular = true;  // not a folder, a pipe or a device
  uint32_t mode = 0;
  uint32_t owner = 0;
  uint32_t group = 0;
};

// An open file; closed when destroyed, if close() was not called.
class File {
 public:
  virtual ~File() = default;
  virtual SystemResult<FileStatus> status() = 0;
  virtual SystemResult<std::string> readAll() = 0;
  virtual SystemResult<void> writeAll(std::string_view bytes) = 0;
  virtual SystemResult<void> rewind() = 0;                      // back to the first byte
  virtual SystemResult<void> truncate(std::size_t length) = 0;  // the file ends after `length` bytes
  virtual SystemResult<void> sync() = 0;                        // to the disk
  // Gives the file `original`'s permissions and, where the user may, its owner.
  virtual SystemResult<void> takeStatus(const FileStatus& original) = 0;
  // Closes now, reporting a write error the system delayed until here.
  virtual SystemResult<void> close() = 0;
};

using OpenFile = std::unique_ptr<File>;

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual SystemResult<OpenFile> openToRead(const std::string& path) = 0;
  virtual SystemResult<OpenFile> openToWrite(const std::string& path) = 0;  // an existing file
  // A new file, never anything already there (nor through a link); readable by its owner only
  // when `ownerOnly`, where the platform has such permissions.
  virtual SystemResult<OpenFile> createNew(const std::string& path, bool ownerOnly) = 0;
  // One folder, in a folder that exists (Exists when the name is taken); for the owner only when
  // `ownerOnly`, and what is made in it then inherits that.
  virtual SystemResult<void> makeFolder(const std::string& path, bool ownerOnly) = 0;
  virtual SystemResult<void> replace(const std::string& from, const std::string& to) = 0;
  // Moves `from` to `to` unless that name is taken (Exists); `from` may stay behind.
  virtual SystemResult<void> moveToNewName(const std::string& from, const std::string& to) = 0;
  virtual SystemResult<void> remove(const std::string& path) = 0;
  // Makes a rename in the folder of `path` durable, where the platform needs telling.
  virtual void syncFolderOf(const std::string& path) = 0;
  // Where a symbolic link at `path` leads (relative to the working folder), nullopt when
  // `path` is no link.
  virtual SystemResult<std::optional<std::string>> readLink(const std::string& path) = 0;
  // Between UTF-8 and std::filesystem, which takes narrow text in the system's code page on
  // Windows.
  virtual std::filesystem::path nativePath(const std::string& path) = 0;
  virtual std::string utf8Path(const std::filesystem::path& path) = 0;
  virtual std::string processId() = 0;
  // The words for a file that is not regular, as the platform's users name such things.
  virtual std::string_view notRegularReason() = 0;
};

// The running platform's calls.
FileSystem& platformFileSystem();

// FileStore.h's operations over `system`.
Result<std::string> readFile(FileSystem& system, const std::string& path);
Result<void> updateFile(FileSystem& system, const std::string& path,
                        const std::function<std::string(const std::string&)>& change, bool ownerOnly);
Result<bool> createFile(FileSystem& system, const std::string& path, std::string_view bytes, bool ownerOnly);

}  // namespace netsetup::files
