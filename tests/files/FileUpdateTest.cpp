// The file update and the exclusive create over a file system in memory whose calls fail on
// demand, so every path is taken on every platform.
#include <gtest/gtest.h>

#include <map>

#include "files/FileSystem.h"

namespace netsetup::files {
namespace {

using Kind = SystemError::Kind;

struct FakeFiles : FileSystem {
  std::map<std::string, std::string> files;
  bool refuseNewFiles = false, readOnly = false;
  std::size_t room = 100;  // the largest file the disk holds
  std::string replaced;    // the last replace: "from>to"

  struct Open : File {
    FakeFiles& fs;
    std::string path;
    std::size_t at = 0;
    Open(FakeFiles& f, std::string p) : fs(f), path(std::move(p)) {}
    std::string& bytes() { return fs.files[path]; }
    SystemResult<FileStatus> status() override { return FileStatus{}; }
    SystemResult<std::string> readAll() override { return bytes(); }
    SystemResult<void> writeAll(std::string_view b) override {
      if (at + b.size() > fs.room) return SystemError{Kind::Other, "No space left on device"};
      bytes().resize(std::max(bytes().size(), at + b.size()));
      bytes().replace(at, b.size(), b);
      at += b.size();
      return {};
    }
    SystemResult<void> rewind() override {
      at = 0;
      return {};
    }
    SystemResult<void> truncate(std::size_t length) override {
      bytes().resize(length);
      return {};
    }
    SystemResult<void> sync() override { return {}; }
    SystemResult<void> takeStatus(const FileStatus&) override { return {}; }
    SystemResult<void> close() override { return {}; }
  };
  SystemResult<OpenFile> open(const std::string& path) {
    if (!files.contains(path)) return SystemError{Kind::NotFound, "No such file"};
    return OpenFile(std::make_unique<Open>(*this, path));
  }
  SystemResult<OpenFile> openToRead(const std::string& path) override { return open(path); }
  SystemResult<OpenFile> openToWrite(const std::string& path) override {
    return readOnly ? SystemError{Kind::Other, "Permission denied"} : open(path);
  }
  SystemResult<OpenFile> createNew(const std::string& path, bool) override {
    if (refuseNewFiles) return SystemError{Kind::Refused, "Permission denied"};
    if (files.contains(path)) return SystemError{Kind::Exists, "File exists"};
    files[path] = "";
    return open(path);
  }
  SystemResult<void> makeFolder(const std::string&, bool) override { return {}; }
  SystemResult<void> replace(const std::string& from, const std::string& to) override {
    replaced = from + ">" + to;
    files[to] = files[from];
    files.erase(from);
    return {};
  }
  SystemResult<void> moveToNewName(const std::string& from, const std::string& to) override {
    if (files.contains(to)) return SystemError{Kind::Exists, "File exists"};
    return replace(from, to);
  }
  SystemResult<void> remove(const std::string& path) override {
    if (files.erase(path)) return {};
    return SystemError{Kind::NotFound, "No such file"};
  }
  void syncFolderOf(const std::string&) override {}
  SystemResult<std::optional<std::string>> readLink(const std::string&) override { return std::optional<std::string>(); }
  std::filesystem::path nativePath(const std::string& path) override { return path; }
  std::string utf8Path(const std::filesystem::path& path) override { return path.string(); }
  std::string processId() override { return "7"; }
  std::string_view notRegularReason() override { return "not regular"; }
};

TEST(FileUpdate, ReplacesThroughATemporaryElseInPlaceAndFailsLeavingTheFileAsItWas) {
  struct Case {
    const char* name;
    std::optional<std::string> before;
    void (*knob)(FakeFiles&);
    bool ok;
    std::optional<std::string> after;
    const char* replaced;
  };
  const Case cases[] = {
      {"a file", "old", [](FakeFiles&) {}, true, "old+", "f.tmp>f"},
      {"a new file", std::nullopt, [](FakeFiles&) {}, true, "+", "f.tmp>f"},
      {"no temporary: in place", "a longer text", [](FakeFiles& f) { f.refuseNewFiles = true; }, true, "a longer text+", ""},
      {"no temporary, no file", std::nullopt, [](FakeFiles& f) { f.refuseNewFiles = true; }, false, std::nullopt, ""},
      {"a read-only file", "old", [](FakeFiles& f) { f.readOnly = true; }, false, "old", ""},
      {"a full disk", "old", [](FakeFiles& f) { f.room = 3; }, false, "old", ""},
      {"a full disk, in place", "old", [](FakeFiles& f) { f.room = 3, f.refuseNewFiles = true; }, false, "old", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFiles fs;
    if (c.before) fs.files["f"] = *c.before;
    c.knob(fs);
    EXPECT_EQ(updateFile(fs, "f", [](const std::string& s) { return s + "+"; }, false).ok(), c.ok);
    EXPECT_EQ(fs.files.contains("f") ? std::optional(fs.files["f"]) : std::nullopt, c.after);
    EXPECT_EQ(fs.files.size(), c.after ? 1u : 0u);  // no temporary left
    EXPECT_EQ(fs.replaced, c.replaced);
  }
}

TEST(FileUpdate, CreateNeverTouchesATakenName) {
  FakeFiles fs;
  EXPECT_TRUE(*createFile(fs, "b", "new", true));
  EXPECT_FALSE(*createFile(fs, "b", "other", true));
  fs.room = 2;
  EXPECT_EQ(createFile(fs, "c", "new", true).failure().text(), "cannot write c: No space left on device");
  EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{"b", "new"}}));
}

}  // namespace
}  // namespace netsetup::files
