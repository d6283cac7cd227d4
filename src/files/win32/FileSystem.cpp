// The Windows file calls behind FileStore, and the lock file.
#include "files/FileSystem.h"

#include <algorithm>
#include <filesystem>

#include "files/FileStore.h"
#include "files/win32/OwnerOnly.h"
#include "link/win32/Handles.h"
#include "link/win32/OpenDiagnosis.h"
#include "text/Wide.h"

namespace netsetup::files {

namespace {

SystemError systemError(DWORD error = ::GetLastError()) {
  const SystemError::Kind kind = error == ERROR_FILE_NOT_FOUND ? SystemError::Kind::NotFound
                                 : error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                                     ? SystemError::Kind::Exists
                                     : SystemError::Kind::Other;
  return {kind, systemMessage(error)};
}

SystemResult<void> outcome(bool ok) { return ok ? SystemResult<void>() : systemError(); }

HANDLE openExisting(const std::wstring& path, DWORD access) {
  return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool readAll(HANDLE file, std::string& out) {
  char buffer[8192];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return false;
    if (got == 0) return true;
    out.append(buffer, got);
  }
}

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
    if (!::WriteFile(file, bytes.data(), chunk, &wrote, nullptr) || wrote == 0) return false;
    bytes.remove_prefix(wrote);
  }
  return true;
}

class Win32File final : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}

  SystemResult<FileStatus> status() override { return FileStatus{::GetFileType(handle_.get()) == FILE_TYPE_DISK}; }
  SystemResult<std::string> readAll() override {
    std::string bytes;
    if (!files::readAll(handle_.get(), bytes)) return systemError();
    return bytes;
  }
  SystemResult<void> writeAll(std::string_view bytes) override { return outcome(files::writeAll(handle_.get(), bytes)); }
  SystemResult<void> rewind() override { return outcome(::SetFilePointer(handle_.get(), 0, nullptr, FILE_BEGIN) == 0); }
  SystemResult<void> truncate(std::size_t length) override {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(length);
    return outcome(::SetFilePointerEx(handle_.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle_.get()));
  }
  SystemResult<void> sync() override { return outcome(::FlushFileBuffers(handle_.get())); }
  // A new file has its folder's permissions, or the owner-only ones it was made with.
  SystemResult<void> takeStatus(const FileStatus&) override { return {}; }
  SystemResult<void> close() override { return outcome(::CloseHandle(handle_.release())); }

 private:
  UniqueFileHandle handle_;
};

// The owner-only attributes when asked for, else none: the folder's permissions.
SystemResult<SECURITY_ATTRIBUTES*> permissions(OwnerOnly& security, bool ownerOnly) {
  if (!ownerOnly) return static_cast<SECURITY_ATTRIBUTES*>(nullptr);
  return security.attributes();
}

SystemResult<OpenFile> opened(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return systemError();
  return OpenFile(std::make_unique<Win32File>(handle));
}

class Win32FileSystem final : public FileSystem {
 public:
  SystemResult<OpenFile> openToRead(const std::string& path) override {
    return opened(openExisting(toWide(path), GENERIC_READ));
  }
  SystemResult<OpenFile> openToWrite(const std::string& path) override {
    return opened(openExisting(toWide(path), GENERIC_WRITE));
  }
  SystemResult<OpenFile> createNew(const std::string& path, bool ownerOnly) override {
    const std::wstring name = toWide(path);
    OwnerOnly security(false);
    const SystemResult<SECURITY_ATTRIBUTES*> attributes = permissions(security, ownerOnly);
    if (!attributes) return attributes.failure();
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, *attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = ::GetLastError();
    // Access is denied too for a folder of that name, which is no refusal of new files.
    if (file == INVALID_HANDLE_VALUE && error == ERROR_ACCESS_DENIED &&
        ::GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
      return SystemError{SystemError::Kind::Refused, systemMessage(error)};
    }
    ::SetLastError(error);
    return opened(file);
  }
  SystemResult<void> makeFolder(const std::string& path, bool ownerOnly) override {
    OwnerOnly security(true);
    const SystemResult<SECURITY_ATTRIBUTES*> attributes = permissions(security, ownerOnly);
    if (!attributes) return attributes.failure();
    return outcome(::CreateDirectoryW(toWide(path).c_str(), *attributes));
  }
  SystemResult<void> replace(const std::string& from, const std::string& to) override {
    return outcome(
        ::MoveFileExW(toWide(from).c_str(), toWide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  }
  SystemResult<void> moveToNewName(const std::string& from, const std::string& to) override {
    // Without MOVEFILE_REPLACE_EXISTING the move refuses a name that is taken.
    return outcome(::MoveFileExW(toWide(from).c_str(), toWide(to).c_str(), MOVEFILE_WRITE_THROUGH));
  }
  SystemResult<void> remove(const std::string& path) override { return outcome(::DeleteFileW(toWide(path).c_str())); }
  // MOVEFILE_WRITE_THROUGH has made the move durable already.
  void syncFolderOf(const std::string&) override {}
  // The file named is replaced itself: symbolic links are rare on Windows (making one takes a
  // privilege) and are not followed.
  SystemResult<std::optional<std::string>> readLink(const std::string&) override { return std::optional<std::string>(); }
  std::filesystem::path nativePath(const std::string& path) override { return toWide(path); }
  std::string utf8Path(const std::filesystem::path& path) override { return toUtf8(path.native()); }
  std::string processId() override { return std::to_string(::GetCurrentProcessId()); }
  std::string_view notRegularReason() override { return "not a regular file (a folder or a device)"; }
};

// "process 4242 (netsetup-cli.exe)" for the id a lock file holds.
std::string describeHolder(const std::string& idText) {
  const std::string id = idText.substr(0, idText.find_first_not_of("0123456789"));
  if (id.empty() || id.size() > 9) return "another process";
  std::string name;
  if (HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, std::stoul(id))) {
    wchar_t image[MAX_PATH];
    DWORD length = MAX_PATH;
    if (::QueryFullProcessImageNameW(process, 0, image, &length)) {
      std::wstring path(image, length);
      path.erase(0, path.find_last_of(L"\\/") + 1);
      name = toUtf8(path);
    }
    ::CloseHandle(process);
  }
  return "process " + id + (name.empty() ? "" : " (" + name + ")");
}

Failure lockFailure(const std::string& what) { return {what, systemMessage(::GetLastError())}; }

}  // namespace

FileSystem& platformFileSystem() {
  static Win32FileSystem system;
  return system;
}

// The lock is the open handle itself: it lets others read the file but not open it for writing.
Result<LockAttempt> tryLock(const std::string& path) {
  const std::string what = "cannot lock " + path;
  const std::wstring file = toWide(path);
  UniqueFileHandle lock(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!lock) {
    if (::GetLastError() != ERROR_SHARING_VIOLATION) return lockFailure(what);
    const UniqueFileHandle reader(openExisting(file, GENERIC_READ));
    std::string id;
    if (reader) readAll(reader.get(), id);
    return LockAttempt{std::nullopt, describeHolder(id)};
  }
  const std::string id = std::to_string(::GetCurrentProcessId()) + "\r\n";
  if (!::SetEndOfFile(lock.get()) || !writeAll(lock.get(), id)) return lockFailure(what);
  return LockAttempt{FileLock(reinterpret_cast<std::intptr_t>(lock.release()), path), {}};
}

Result<std::string> readStream(const std::string& path, size_t limit) {
  const std::string what = "cannot read " + path;
  UniqueFileHandle opened(path == "-" ? INVALID_HANDLE_VALUE : openExisting(toWide(path), GENERIC_READ));
  const HANDLE file = path == "-" ? ::GetStdHandle(STD_INPUT_HANDLE) : opened.get();
  if (file == INVALID_HANDLE_VALUE || file == nullptr) return lockFailure(what);
  std::string bytes;
  char buffer[8192];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      if (::GetLastError() == ERROR_BROKEN_PIPE) return bytes;  // a pipe's writer is done
      return lockFailure(what);
    }
    if (got == 0) return bytes;
    bytes.append(buffer, got);
    if (bytes.size() > limit) return Failure{what, "more than " + std::to_string(limit) + " bytes"};
  }
}

Result<void> appendLocked(const std::string& path, std::string_view line, bool ownerOnly) {
  const std::string what = "cannot add to " + path;
  OwnerOnly security(false);
  const SystemResult<SECURITY_ATTRIBUTES*> attributes = permissions(security, ownerOnly);
  if (!attributes) return Failure{what, attributes.failure().reason};
  const UniqueFileHandle file(::CreateFileW(toWide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            *attributes, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return lockFailure(what);
  OVERLAPPED whole{};
  if (!::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) return lockFailure(what);
  const bool written = writeAll(file.get(), line) && ::FlushFileBuffers(file.get());
  const Failure failed = lockFailure(what);
  ::UnlockFileEx(file.get(), 0, MAXDWORD, MAXDWORD, &whole);
  if (!written) return failed;
  return {};
}

FileLock::~FileLock() {
  if (handle_ == -1) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  // Fails, and the file stays, when another process opened it meanwhile to take the lock.
  ::DeleteFileW(toWide(path_).c_str());
}

}  // namespace netsetup::files
