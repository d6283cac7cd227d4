#include "config/FileStore.h"

#include <atomic>
#include <filesystem>
#include <utility>

#include "link/win32/OpenDiagnosis.h"
#include "text/Wide.h"

namespace netsetup::files {

namespace {

// `what` with the system's words for `error`.
Failure failure(std::string what, DWORD error) { return {std::move(what), systemMessage(error)}; }

constexpr const char* kNotRegular = "not a regular file (a folder or a device)";

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) ::CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
  bool close() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

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

bool writeAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    if (!::WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) return false;
    done += wrote;
  }
  return true;
}

// Numbers the temporary files of createFile, apart for savers on several threads.
std::atomic<unsigned> temporaries{0};

enum class Replaced { Yes, NoTemporary, Failed };

// A new file at `temp` holding `bytes`, flushed to the disk; the error code of a failure, with
// nothing left behind.
DWORD writeNewFile(const std::wstring& temp, const std::string& bytes) {
  Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return ::GetLastError();
  if (writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) && file.close()) return ERROR_SUCCESS;
  const DWORD error = ::GetLastError();
  file.close();
  ::DeleteFileW(temp.c_str());
  return error;
}

// Through "<file>.tmp", flushed, then moved over the file with write-through, so a crash leaves
// the old file or the new one. `error` receives the code of a failure.
Replaced replaceFile(const std::wstring& target, const std::string& bytes, DWORD& error) {
  const std::wstring temp = target + L".tmp";
  ::DeleteFileW(temp.c_str());  // a stale one left by a crash; a folder there stays and fails below
  error = writeNewFile(temp, bytes);
  if (error != ERROR_SUCCESS) {
    const bool refused =
        error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(temp.c_str()) == INVALID_FILE_ATTRIBUTES;
    return refused ? Replaced::NoTemporary : Replaced::Failed;
  }
  if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    return Replaced::Failed;
  }
  return Replaced::Yes;
}

bool rewriteInPlace(HANDLE file, const std::string& bytes) {
  return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && writeAll(file, bytes) && ::SetEndOfFile(file) &&
         ::FlushFileBuffers(file);
}

}  // namespace

Result<std::string> readFile(const std::string& path) {
  const std::string what = "cannot read " + path;
  Handle file(openExisting(toWide(path), GENERIC_READ));
  if (!file.valid()) return failure(what, ::GetLastError());
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) return Failure{what, kNotRegular};
  std::string bytes;
  if (!readAll(file.get(), bytes)) return failure(what, ::GetLastError());
  return bytes;
}

// Windows gives a new file its folder's permissions, which keep other users out of their
// profile folders already; `ownerOnly` adds nothing there.
Result<void> updateFile(const std::string& path, const std::function<std::string(const std::string&)>& change,
                        bool) {
  const std::string what = "cannot write " + path;
  const std::wstring target = toWide(path);
  std::string bytes;
  Handle reader(openExisting(target, GENERIC_READ));
  const DWORD openError = ::GetLastError();
  const bool exists = reader.valid();
  if (exists) {
    if (::GetFileType(reader.get()) != FILE_TYPE_DISK) return Failure{what, kNotRegular};
    if (!readAll(reader.get(), bytes)) return failure(what, ::GetLastError());
    reader.close();
  } else if (openError != ERROR_FILE_NOT_FOUND) {
    return failure(what, openError);
  }
  // A read-only file, or one this user may not write, is never replaced behind its back. The
  // check's handle is closed again: an open handle would block the move over the file.
  if (exists && !Handle(openExisting(target, GENERIC_WRITE)).valid()) return failure(what, ::GetLastError());

  const std::string updated = change(bytes);
  DWORD error = ERROR_SUCCESS;
  switch (replaceFile(target, updated, error)) {
    case Replaced::Yes:
      return {};
    case Replaced::NoTemporary: {
      if (!exists) return failure(what, error);
      Handle writer(openExisting(target, GENERIC_WRITE));
      if (writer.valid() && rewriteInPlace(writer.get(), updated) && writer.close()) return {};
      return failure(what, ::GetLastError());
    }
    case Replaced::Failed:
      break;
  }
  return failure(what, error);
}

Result<bool> createFile(const std::string& path, std::string_view bytes, bool) {
  const std::string what = "cannot write " + path;
  const std::wstring target = toWide(path);
  // A name of this save's own beside the file; a stale one left by a crash is replaced.
  const std::wstring temp =
      target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(temporaries++) + L".tmp";
  ::DeleteFileW(temp.c_str());
  if (const DWORD error = writeNewFile(temp, std::string(bytes)); error != ERROR_SUCCESS) return failure(what, error);
  // Without MOVEFILE_REPLACE_EXISTING the move refuses a name that is taken.
  if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  const DWORD error = ::GetLastError();
  ::DeleteFileW(temp.c_str());
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return false;
  return failure(what, error);
}

Result<void> removeFile(const std::string& path) {
  if (::DeleteFileW(toWide(path).c_str())) return {};
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND) return {};
  return failure("cannot remove " + path, error);
}

bool makeFolders(const std::string& filePath) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(toWide(filePath)).parent_path();
  return folder.empty() || std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder);
}

namespace {

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

}  // namespace

// The lock is the open handle itself: it lets others read the file but not open it for writing.
Result<LockAttempt> tryLock(const std::string& path) {
  const std::string what = "cannot lock " + path;
  const std::wstring file = toWide(path);
  Handle lock(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!lock.valid()) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION) return failure(what, error);
    Handle reader(openExisting(file, GENERIC_READ));
    std::string id;
    if (reader.valid()) readAll(reader.get(), id);
    return LockAttempt{std::nullopt, describeHolder(id)};
  }
  const std::string id = std::to_string(::GetCurrentProcessId()) + "\r\n";
  if (!::SetEndOfFile(lock.get()) || !writeAll(lock.get(), id)) return failure(what, ::GetLastError());
  return LockAttempt{FileLock(reinterpret_cast<std::intptr_t>(lock.release()), path), {}};
}

FileLock::~FileLock() {
  if (handle_ == -1) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  // Fails, and the file stays, when another process opened it meanwhile to take the lock.
  ::DeleteFileW(toWide(path_).c_str());
}

}  // namespace netsetup::files
