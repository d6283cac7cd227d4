#include "config/FileStore.h"

#include <windows.h>

#include <filesystem>

#include "text/Utf16.h"

namespace netsetup::files {

namespace {

std::wstring widePath(const std::string& utf8) {
  const std::u16string units = utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

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

enum class Replaced { Yes, NoTemporary, Failed };

// Through "<file>.tmp", flushed, then moved over the file with write-through, so a crash leaves
// the old file or the new one.
Replaced replaceFile(const std::wstring& target, const std::string& bytes) {
  const std::wstring temp = target + L".tmp";
  ::DeleteFileW(temp.c_str());  // a stale one left by a crash; a folder there stays and fails below
  Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const bool refused = ::GetLastError() == ERROR_ACCESS_DENIED &&
                         ::GetFileAttributesW(temp.c_str()) == INVALID_FILE_ATTRIBUTES;
    return refused ? Replaced::NoTemporary : Replaced::Failed;
  }
  bool ok = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
  ok = file.close() && ok;
  ok = ok && ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) {
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

std::optional<std::string> readFile(const std::string& path) {
  Handle file(openExisting(widePath(path), GENERIC_READ));
  std::string bytes;
  if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK || !readAll(file.get(), bytes)) return std::nullopt;
  return bytes;
}

// Windows gives a new file its folder's permissions, which keep other users out of their
// profile folders already; `ownerOnly` adds nothing there.
bool updateFile(const std::string& path, const std::function<std::string(const std::string&)>& change, bool) {
  const std::wstring target = widePath(path);
  std::string bytes;
  Handle reader(openExisting(target, GENERIC_READ));
  const DWORD openError = ::GetLastError();
  const bool exists = reader.valid();
  if (exists) {
    if (::GetFileType(reader.get()) != FILE_TYPE_DISK || !readAll(reader.get(), bytes)) return false;
    reader.close();
  } else if (openError != ERROR_FILE_NOT_FOUND) {
    return false;
  }
  // A read-only file, or one this user may not write, is never replaced behind its back. The
  // check's handle is closed again: an open handle would block the move over the file.
  if (exists && !Handle(openExisting(target, GENERIC_WRITE)).valid()) return false;

  const std::string updated = change(bytes);
  switch (replaceFile(target, updated)) {
    case Replaced::Yes:
      return true;
    case Replaced::NoTemporary: {
      Handle writer(exists ? openExisting(target, GENERIC_WRITE) : INVALID_HANDLE_VALUE);
      return writer.valid() && rewriteInPlace(writer.get(), updated) && writer.close();
    }
    case Replaced::Failed:
      return false;
  }
  return false;
}

bool makeFolders(const std::string& filePath) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(widePath(filePath)).parent_path();
  return folder.empty() || std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder);
}

}  // namespace netsetup::files
