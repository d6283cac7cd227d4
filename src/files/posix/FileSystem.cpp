// The POSIX file calls behind FileStore, and the lock file.
#include "files/FileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "files/FileStore.h"
#include "link/posix/Fd.h"

namespace netsetup::files {

namespace {

SystemError systemError(int error = errno) {
  const SystemError::Kind kind = error == ENOENT   ? SystemError::Kind::NotFound
                                 : error == EEXIST ? SystemError::Kind::Exists
                                                   : SystemError::Kind::Other;
  return {kind, std::strerror(error)};
}

SystemResult<void> outcome(bool ok) { return ok ? SystemResult<void>() : systemError(); }

bool readAll(int fd, std::string& out) {
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
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
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}

  SystemResult<FileStatus> status() override {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) return systemError();
    return FileStatus{S_ISREG(st.st_mode), st.st_mode & 07777, st.st_uid, st.st_gid};
  }
  SystemResult<std::string> readAll() override {
    std::string bytes;
    if (!files::readAll(fd_.get(), bytes)) return systemError();
    return bytes;
  }
  SystemResult<void> writeAll(std::string_view bytes) override { return outcome(files::writeAll(fd_.get(), bytes)); }
  SystemResult<void> rewind() override { return outcome(::lseek(fd_.get(), 0, SEEK_SET) == 0); }
  SystemResult<void> truncate(std::size_t length) override {
    return outcome(::ftruncate(fd_.get(), static_cast<off_t>(length)) == 0);
  }
  SystemResult<void> sync() override { return outcome(::fsync(fd_.get()) == 0); }
  SystemResult<void> takeStatus(const FileStatus& original) override {
    if (original.owner != ::geteuid() || original.group != ::getegid()) {
      // Only a privileged user can hand the file back to its owner; the mode is what matters.
      (void)!::fchown(fd_.get(), original.owner, original.group);
    }
    return outcome(::fchmod(fd_.get(), original.mode) == 0);
  }
  SystemResult<void> close() override { return outcome(::close(fd_.release()) == 0); }

 private:
  UniqueFd fd_;
};

SystemResult<OpenFile> opened(int fd) {
  if (fd < 0) return systemError();
  return OpenFile(std::make_unique<PosixFile>(fd));
}

class PosixFileSystem final : public FileSystem {
 public:
  SystemResult<OpenFile> openToRead(const std::string& path) override {
    return opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  }
  SystemResult<OpenFile> openToWrite(const std::string& path) override {
    return opened(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
  }
  SystemResult<OpenFile> createNew(const std::string& path, bool ownerOnly) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, ownerOnly ? 0600 : 0666);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
      return SystemError{SystemError::Kind::Refused, std::strerror(errno)};
    }
    return opened(fd);
  }
  SystemResult<void> makeFolder(const std::string& path, bool ownerOnly) override {
    return outcome(::mkdir(path.c_str(), ownerOnly ? 0700 : 0777) == 0);
  }
  SystemResult<void> replace(const std::string& from, const std::string& to) override {
    return outcome(::rename(from.c_str(), to.c_str()) == 0);
  }
  SystemResult<void> moveToNewName(const std::string& from, const std::string& to) override {
    // link() never replaces an existing name, unlike rename().
    if (::link(from.c_str(), to.c_str()) == 0) return {};
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV) return systemError();
    // A file system without hard links (FAT on a memory stick): Linux can still rename without
    // replacing.
    return outcome(::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0);
  }
  SystemResult<void> remove(const std::string& path) override { return outcome(::unlink(path.c_str()) == 0); }
  void syncFolderOf(const std::string& path) override {
    // The file is already complete, so a failure here is no error.
    const UniqueFd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
  }
  SystemResult<std::optional<std::string>> readLink(const std::string& path) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return std::optional<std::string>();
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return systemError();
    if (static_cast<std::size_t>(n) >= target.size()) return systemError(ENAMETOOLONG);  // it grew meanwhile
    target.resize(static_cast<std::size_t>(n));
    return std::optional<std::string>(target.starts_with('/') ? target : folderOf(path) + "/" + target);
  }
  std::filesystem::path nativePath(const std::string& path) override { return path; }
  std::string utf8Path(const std::filesystem::path& path) override { return path.string(); }
  std::string processId() override { return std::to_string(::getpid()); }
  std::string_view notRegularReason() override { return "not a regular file (a folder, a pipe or a device)"; }
};

// "process 4242 (netsetup-cli)" for the id a lock file holds; the name where /proc tells it.
std::string describeHolder(const std::string& idText) {
  const std::string id = idText.substr(0, idText.find_first_not_of("0123456789"));
  if (id.empty()) return "another process";
  const Result<std::string> comm = readFile("/proc/" + id + "/comm");
  std::string name = comm ? *comm : "";
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return "process " + id + (name.empty() ? "" : " (" + name + ")");
}

Failure lockFailure(const std::string& what) { return {what, std::strerror(errno)}; }

}  // namespace

FileSystem& platformFileSystem() {
  static PosixFileSystem system;
  return system;
}

Result<LockAttempt> tryLock(const std::string& path) {
  const std::string what = "cannot lock " + path;
  for (;;) {
    bool writable = true;
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (!fd && errno == EACCES) {
      // Another user's lock file: it can still be locked, and its holder named.
      writable = false;
      fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    }
    if (!fd) return lockFailure(what);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK) return lockFailure(what);
      std::string id;
      readAll(fd.get(), id);
      return LockAttempt{std::nullopt, describeHolder(id)};
    }
    // A holder that released it just now removed the file first: lock the file that is there.
    struct stat held {}, named {};
    if (::fstat(fd.get(), &held) != 0) return lockFailure(what);
    if (::stat(path.c_str(), &named) != 0 || named.st_ino != held.st_ino || named.st_dev != held.st_dev) continue;
    if (writable) {
      const std::string id = std::to_string(::getpid()) + "\n";
      if (::ftruncate(fd.get(), 0) != 0 || ::pwrite(fd.get(), id.data(), id.size(), 0) < 0) return lockFailure(what);
    }
    return LockAttempt{FileLock(fd.release(), path), {}};
  }
}

Result<std::string> readStream(const std::string& path, size_t limit) {
  const std::string what = "cannot read " + path;
  UniqueFd opened(path == "-" ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  const int fd = path == "-" ? STDIN_FILENO : opened.get();
  if (fd < 0) return lockFailure(what);
  std::string bytes;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return lockFailure(what);
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(n));
    if (bytes.size() > limit) return Failure{what, "more than " + std::to_string(limit) + " bytes"};
  }
}

Result<void> appendLocked(const std::string& path, std::string_view line, bool ownerOnly) {
  const std::string what = "cannot add to " + path;
  const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, ownerOnly ? 0600 : 0644));
  if (!fd) return lockFailure(what);
  int locked;
  while ((locked = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (locked != 0 || !writeAll(fd.get(), line) || ::fsync(fd.get()) != 0) return lockFailure(what);
  return {};  // closing releases the lock
}

FileLock::~FileLock() {
  if (handle_ < 0) return;
  // Removed while still held, so that no one locks a file that is about to go.
  ::unlink(path_.c_str());
  ::close(static_cast<int>(handle_));
}

}  // namespace netsetup::files
