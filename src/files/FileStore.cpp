#include "files/FileStore.h"

#include <atomic>
#include <filesystem>
#include <system_error>
#include <utility>

#include "files/FileSystem.h"

namespace netsetup::files {

namespace {

using Kind = SystemError::Kind;

Failure failure(std::string what, const SystemError& error) { return {std::move(what), error.reason}; }

// Links followed at most before a path counts as a loop, as the system itself counts.
constexpr int kMaxLinks = 40;

std::string loopReason() {
  return std::generic_category().message(static_cast<int>(std::errc::too_many_symbolic_link_levels));
}

// The file a write lands in: a symbolic link is followed to its target, even one that does not
// exist yet, so the link itself stays in place. A loop or an unreadable link fails as a loop.
Result<std::string> writtenFile(FileSystem& system, std::string path, const std::string& what) {
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    const SystemResult<std::optional<std::string>> next = system.readLink(path);
    if (!next) break;
    if (!*next) return path;
    path = **next;
  }
  return Failure{what, loopReason()};
}

struct Current {
  std::string bytes;
  FileStatus status;
};

// The bytes and status of a file opened for reading.
Result<Current> readOpened(FileSystem& system, File& file, const std::string& what) {
  const SystemResult<FileStatus> status = file.status();
  if (!status) return failure(what, status.failure());
  if (!status->regular) return Failure{what, std::string(system.notRegularReason())};
  SystemResult<std::string> bytes = file.readAll();
  if (!bytes) return failure(what, bytes.failure());
  return Current{std::move(*bytes), *status};
}

// Writes, syncs and closes a new file.
SystemResult<void> fill(File& file, std::string_view bytes) {
  SystemResult<void> done = file.writeAll(bytes);
  if (done) done = file.sync();
  if (done) done = file.close();
  return done;
}

// Replaces `target` by `bytes` through "<target>.tmp", so a crash leaves the old file or the new
// one. `original` is the status of the file there now, or null when there is none. A Refused
// failure: the folder takes no temporary file, and nothing changed.
SystemResult<void> replaceThroughTemporary(FileSystem& system, const std::string& target, std::string_view bytes,
                                           const FileStatus* original, bool ownerOnly) {
  const std::string temp = target + ".tmp";
  // A stale temporary left by a crash is removed; anything else there (a folder) makes the
  // exclusive create below fail.
  (void)system.remove(temp);
  SystemResult<OpenFile> file = system.createNew(temp, ownerOnly);
  if (!file) return file.failure();
  SystemResult<void> done = original ? (*file)->takeStatus(*original) : SystemResult<void>();
  if (done) done = fill(**file, bytes);
  if (done) done = system.replace(temp, target);
  if (!done) {
    file->reset();
    (void)system.remove(temp);
    return done;
  }
  system.syncFolderOf(target);
  return {};
}

// The fallback where no temporary file can be made: the new content over the old, then the
// length cut, then a sync. Writing before cutting means a shorter or equal content needs no new
// disk space, so a full disk cannot leave the file emptied.
SystemResult<void> rewriteInPlace(FileSystem& system, const std::string& path, std::string_view bytes) {
  SystemResult<OpenFile> opened = system.openToWrite(path);
  if (!opened) return opened.failure();
  File& file = **opened;
  SystemResult<void> done = file.rewind();
  if (done) done = file.writeAll(bytes);
  if (done) done = file.truncate(bytes.size());
  if (done) done = file.sync();
  if (done) done = file.close();
  return done;
}

// Numbers the temporary files of createFile, apart for savers on several threads.
std::atomic<unsigned> temporaries{0};

}  // namespace

Result<std::string> readFile(FileSystem& system, const std::string& path) {
  const std::string what = "cannot read " + path;
  SystemResult<OpenFile> file = system.openToRead(path);
  if (!file) return failure(what, file.failure());
  Result<Current> current = readOpened(system, **file, what);
  if (!current) return current.failure();
  return std::move(current->bytes);
}

Result<void> updateFile(FileSystem& system, const std::string& path,
                        const std::function<std::string(const std::string&)>& change, bool ownerOnly) {
  const std::string what = "cannot write " + path;
  const Result<std::string> target = writtenFile(system, path, what);
  if (!target) return target.failure();

  std::optional<Current> current;
  if (SystemResult<OpenFile> reader = system.openToRead(*target)) {
    Result<Current> read = readOpened(system, **reader, what);
    if (!read) return read.failure();
    current = std::move(*read);
  } else if (reader.failure().kind != Kind::NotFound) {
    return failure(what, reader.failure());
  }
  // Replacing the file would bypass its own permissions: it must be writable itself, as for a
  // writer that opens it. The check's handle is closed at once: on Windows an open handle would
  // stop the replacement.
  if (current) {
    if (const SystemResult<OpenFile> writer = system.openToWrite(*target); !writer) {
      return failure(what, writer.failure());
    }
  }

  const std::string updated = change(current ? current->bytes : std::string());
  const SystemResult<void> replaced =
      replaceThroughTemporary(system, *target, updated, current ? &current->status : nullptr, ownerOnly);
  if (replaced) return {};
  if (replaced.failure().kind != Kind::Refused || !current) return failure(what, replaced.failure());
  if (const SystemResult<void> rewritten = rewriteInPlace(system, *target, updated); !rewritten) {
    return failure(what, rewritten.failure());
  }
  return {};
}

Result<bool> createFile(FileSystem& system, const std::string& path, std::string_view bytes, bool ownerOnly) {
  const std::string what = "cannot write " + path;
  // A name of this save's own beside the file; a stale one left by a crash is replaced.
  const std::string temp = path + "." + system.processId() + "-" + std::to_string(temporaries++) + ".tmp";
  (void)system.remove(temp);
  SystemResult<OpenFile> file = system.createNew(temp, ownerOnly);
  if (!file) return failure(what, file.failure());
  if (const SystemResult<void> filled = fill(**file, bytes); !filled) {
    file->reset();
    (void)system.remove(temp);
    return failure(what, filled.failure());
  }
  // The step that refuses a name already taken, so two savers choosing it at once get one each.
  const SystemResult<void> moved = system.moveToNewName(temp, path);
  (void)system.remove(temp);
  if (!moved) {
    if (moved.failure().kind == Kind::Exists) return false;
    return failure(what, moved.failure());
  }
  system.syncFolderOf(path);
  return true;
}

Result<std::string> readFile(const std::string& path) { return readFile(platformFileSystem(), path); }

Result<void> updateFile(const std::string& path, const std::function<std::string(const std::string&)>& change,
                        bool ownerOnly) {
  return updateFile(platformFileSystem(), path, change, ownerOnly);
}

Result<bool> createFile(const std::string& path, std::string_view bytes, bool ownerOnly) {
  return createFile(platformFileSystem(), path, bytes, ownerOnly);
}

Result<void> removeFile(const std::string& path) {
  const SystemResult<void> removed = platformFileSystem().remove(path);
  if (removed || removed.failure().kind == Kind::NotFound) return {};
  return failure("cannot remove " + path, removed.failure());
}

std::string realPath(const std::string& path) {
  const Result<std::string> target = writtenFile(platformFileSystem(), path, "");
  if (!target) return path;
  std::error_code error;
  const std::filesystem::path real = std::filesystem::weakly_canonical(nativePath(*target), error);
  return error ? *target : utf8Path(real);
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(nativePath(a), nativePath(b), error) && !error;
}

std::filesystem::path nativePath(const std::string& utf8) { return platformFileSystem().nativePath(utf8); }

std::string utf8Path(const std::filesystem::path& path) { return platformFileSystem().utf8Path(path); }

std::string inFolder(const std::string& folder, const std::string& name) {
  return utf8Path(nativePath(folder) / nativePath(name));
}

Result<void> makeFolders(const std::string& filePath) {
  std::error_code error;
  const std::filesystem::path folder = nativePath(filePath).parent_path();
  if (folder.empty() || std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder)) {
    return {};
  }
  return Failure{"cannot make the folder " + utf8Path(folder), error ? error.message() : std::string()};
}

Result<void> makeFolder(const std::string& folder, bool ownerOnly) {
  FileSystem& system = platformFileSystem();
  const std::filesystem::path whole = nativePath(folder);
  // From the root, which is never made: "/", "C:/" or "//server/share/" ("C:" alone would be the
  // drive's working folder).
  std::filesystem::path made = whole.root_path();
  for (const std::filesystem::path& part : whole.relative_path()) {
    made /= part;
    std::error_code error;
    if (part.empty() || std::filesystem::is_directory(made, error)) continue;
    const SystemResult<void> created = system.makeFolder(utf8Path(made), ownerOnly);
    if (created || std::filesystem::is_directory(made, error)) continue;
    // A file where a folder should be says "File exists"; name what it is instead.
    const std::string reason =
        std::filesystem::exists(made, error) ? "a file of that name is in the way" : created.failure().reason;
    return Failure{"cannot make the folder " + utf8Path(made), reason};
  }
  return {};
}

std::string absolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(nativePath(path), error);
  return error ? path : utf8Path(absolute.lexically_normal());
}

}  // namespace netsetup::files
