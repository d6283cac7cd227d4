#include "config/FileStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace netsetup::files {

namespace {

// `what` with the system's words for `error` (errno by default).
Failure failure(std::string what, int error = errno) { return {std::move(what), std::strerror(error)}; }

constexpr const char* kNotRegular = "not a regular file (a folder, a pipe or a device)";

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int release() { return std::exchange(fd_, -1); }
  // Closes now and reports the result: a delayed write error can surface here.
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool readAll(int fd, std::string& out) {
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      out.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return true;
    } else if (errno != EINTR) {
      return false;
    }
  }
}

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string folderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write lands in: a symbolic link is followed to its target, even one that does not
// exist yet, so the link itself stays in place. nullopt for a loop or an unreadable link.
std::optional<std::string> resolveTarget(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    path = target.starts_with('/') ? target : folderOf(path) + "/" + target;
  }
  return std::nullopt;
}

// Numbers the temporary files of createFile, apart for savers on several threads.
std::atomic<unsigned> temporaries{0};

enum class Replaced { Yes, NoTemporary, Failed };

// Writes, syncs and closes a new file; false (with errno set) on the first failure.
bool fill(Fd& fd, std::string_view bytes) {
  if (writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0) return fd.close();
  const int error = errno;
  fd.close();
  errno = error;
  return false;
}

// Makes a rename or a link durable; the file is already complete, so a failure here is no error.
void syncFolderOf(const std::string& path) {
  Fd dir(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

// Replaces `target` by `bytes` atomically. `original` is the file's current status, or null when
// there is no file yet. NoTemporary: the folder refused the temporary file; nothing changed.
// `error` receives errno of a failure.
Replaced replaceFile(const std::string& target, std::string_view bytes, const struct stat* original, bool ownerOnly,
                     int& error) {
  const std::string temp = target + ".tmp";
  // A stale temporary left by a crash is removed; anything else there (a folder) makes the
  // exclusive create below fail.
  ::unlink(temp.c_str());
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, ownerOnly ? 0600 : 0666));
  if (!fd.valid()) {
    error = errno;
    return error == EACCES || error == EPERM || error == EROFS ? Replaced::NoTemporary : Replaced::Failed;
  }

  bool ok = true;
  if (original) {
    if ((original->st_uid != ::geteuid() || original->st_gid != ::getegid()) &&
        ::fchown(fd.get(), original->st_uid, original->st_gid) != 0) {
      // Only a privileged user can hand the file back to its owner; the mode is what matters.
    }
    ok = ::fchmod(fd.get(), original->st_mode & 07777) == 0;
  }
  ok = ok && fill(fd, bytes) && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    error = errno;
    ::unlink(temp.c_str());
    return Replaced::Failed;
  }
  syncFolderOf(target);
  return Replaced::Yes;
}

// The fallback where no temporary file can be made: the new content over the old, then the
// length cut, then a sync. Writing before cutting means a shorter or equal content needs no new
// disk space, so a full disk cannot leave the file emptied.
bool rewriteInPlace(int fd, std::string_view bytes) {
  return ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, bytes) &&
         ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

}  // namespace

Result<std::string> readFile(const std::string& path) {
  const std::string what = "cannot read " + path;
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.valid()) return failure(what);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return failure(what);
  if (!S_ISREG(st.st_mode)) return Failure{what, kNotRegular};
  std::string text;
  if (!readAll(fd.get(), text)) return failure(what);
  return text;
}

Result<void> updateFile(const std::string& path, const std::function<std::string(const std::string&)>& change,
                        bool ownerOnly) {
  const std::string what = "cannot write " + path;
  const auto target = resolveTarget(path);
  if (!target) return failure(what, ELOOP);

  std::string bytes;
  struct stat st {};
  Fd reader(::open(target->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  const bool exists = reader.valid();
  if (exists) {
    if (::fstat(reader.get(), &st) != 0) return failure(what);
    if (!S_ISREG(st.st_mode)) return Failure{what, kNotRegular};
    if (!readAll(reader.get(), bytes)) return failure(what);
    reader.close();
  } else if (errno != ENOENT) {
    return failure(what);
  }
  // Renaming over the file would bypass its own permissions: it must be writable itself, as
  // for a writer that opens it.
  Fd writer(exists ? ::open(target->c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK) : -1);
  if (exists && !writer.valid()) return failure(what);

  const std::string updated = change(bytes);
  int error = 0;
  switch (replaceFile(*target, updated, exists ? &st : nullptr, ownerOnly, error)) {
    case Replaced::Yes:
      return {};
    case Replaced::NoTemporary:
      if (exists && rewriteInPlace(writer.get(), updated) && writer.close()) return {};
      return failure(what, exists ? errno : error);
    case Replaced::Failed:
      break;
  }
  return failure(what, error);
}

Result<bool> createFile(const std::string& path, std::string_view bytes, bool ownerOnly) {
  const std::string what = "cannot write " + path;
  // A name of this save's own beside the file; a stale one left by a crash is replaced.
  const std::string temp = path + "." + std::to_string(::getpid()) + "-" + std::to_string(temporaries++) + ".tmp";
  ::unlink(temp.c_str());
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, ownerOnly ? 0600 : 0666));
  if (!fd.valid()) return failure(what);
  if (!fill(fd, bytes)) {
    const int error = errno;
    ::unlink(temp.c_str());
    return failure(what, error);
  }
  // link() never replaces an existing name, unlike rename().
  int linked = ::link(temp.c_str(), path.c_str()) == 0 ? 0 : errno;
  if (linked == EPERM || linked == EOPNOTSUPP || linked == EXDEV) {
    // A file system without hard links (FAT on a memory stick): Linux can still rename without
    // replacing.
    linked = ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
  }
  ::unlink(temp.c_str());
  if (linked == EEXIST) return false;
  if (linked != 0) return failure(what, linked);
  syncFolderOf(path);
  return true;
}

Result<void> removeFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
  return failure("cannot remove " + path);
}

bool makeFolders(const std::string& filePath) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
  return folder.empty() || std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder);
}

namespace {

// "process 4242 (netsetup-cli)" for the id a lock file holds; the name where /proc tells it.
std::string describeHolder(const std::string& idText) {
  const std::string id = idText.substr(0, idText.find_first_not_of("0123456789"));
  if (id.empty()) return "another process";
  const Result<std::string> comm = readFile("/proc/" + id + "/comm");
  std::string name = comm ? *comm : "";
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return "process " + id + (name.empty() ? "" : " (" + name + ")");
}

}  // namespace

Result<LockAttempt> tryLock(const std::string& path) {
  const std::string what = "cannot lock " + path;
  for (;;) {
    bool writable = true;
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (!fd.valid() && errno == EACCES) {
      // Another user's lock file: it can still be locked, and its holder named.
      writable = false;
      fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    }
    if (!fd.valid()) return failure(what);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK) return failure(what);
      std::string id;
      readAll(fd.get(), id);
      return LockAttempt{std::nullopt, describeHolder(id)};
    }
    // A holder that released it just now removed the file first: lock the file that is there.
    struct stat held {}, named {};
    if (::fstat(fd.get(), &held) != 0) return failure(what);
    if (::stat(path.c_str(), &named) != 0 || named.st_ino != held.st_ino || named.st_dev != held.st_dev) continue;
    if (writable) {
      const std::string id = std::to_string(::getpid()) + "\n";
      if (::ftruncate(fd.get(), 0) != 0 || ::pwrite(fd.get(), id.data(), id.size(), 0) < 0) return failure(what);
    }
    const int handle = fd.release();
    return LockAttempt{FileLock(handle, path), {}};
  }
}

FileLock::~FileLock() {
  if (handle_ < 0) return;
  // Removed while still held, so that no one locks a file that is about to go.
  ::unlink(path_.c_str());
  ::close(static_cast<int>(handle_));
}

}  // namespace netsetup::files
