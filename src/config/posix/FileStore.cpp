#include "config/FileStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace netsetup::files {

namespace {

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

enum class Replaced { Yes, NoTemporary, Failed };

// Replaces `target` by `bytes` atomically. `original` is the file's current status, or null when
// there is no file yet. NoTemporary: the folder refused the temporary file; nothing changed.
Replaced replaceFile(const std::string& target, std::string_view bytes, const struct stat* original, bool ownerOnly) {
  const std::string temp = target + ".tmp";
  // A stale temporary left by a crash is removed; anything else there (a folder) makes the
  // exclusive create below fail.
  ::unlink(temp.c_str());
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, ownerOnly ? 0600 : 0666));
  if (!fd.valid()) return errno == EACCES || errno == EPERM || errno == EROFS ? Replaced::NoTemporary : Replaced::Failed;

  bool ok = true;
  if (original) {
    if ((original->st_uid != ::geteuid() || original->st_gid != ::getegid()) &&
        ::fchown(fd.get(), original->st_uid, original->st_gid) != 0) {
      // Only a privileged user can hand the file back to its owner; the mode is what matters.
    }
    ok = ::fchmod(fd.get(), original->st_mode & 07777) == 0;
  }
  ok = ok && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  ok = fd.close() && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return Replaced::Failed;
  }
  // Make the rename itself durable; the file is already complete, so a failure here is no error.
  Fd dir(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
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

std::optional<std::string> readFile(const std::string& path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st {};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string text;
  if (!readAll(fd.get(), text)) return std::nullopt;
  return text;
}

bool updateFile(const std::string& path, const std::function<std::string(const std::string&)>& change,
                bool ownerOnly) {
  const auto target = resolveTarget(path);
  if (!target) return false;

  std::string bytes;
  struct stat st {};
  Fd reader(::open(target->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  const bool exists = reader.valid();
  if (exists) {
    if (::fstat(reader.get(), &st) != 0 || !S_ISREG(st.st_mode) || !readAll(reader.get(), bytes)) return false;
    reader.close();
  } else if (errno != ENOENT) {
    return false;
  }
  // Renaming over the file would bypass its own permissions: it must be writable itself, as
  // for a writer that opens it.
  Fd writer(exists ? ::open(target->c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK) : -1);
  if (exists && !writer.valid()) return false;

  const std::string updated = change(bytes);
  switch (replaceFile(*target, updated, exists ? &st : nullptr, ownerOnly)) {
    case Replaced::Yes:
      return true;
    case Replaced::NoTemporary:
      return exists && rewriteInPlace(writer.get(), updated) && writer.close();
    case Replaced::Failed:
      return false;
  }
  return false;
}

bool makeFolders(const std::string& filePath) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
  return folder.empty() || std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder);
}

}  // namespace netsetup::files
