// Files that hold a password, and the folders they go in, keep everyone but their owner, SYSTEM
// and the Administrators out, whatever the folder above allows: read back from Windows' own
// security descriptors.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "files/FileStore.h"
#include "support/TempDir.h"

namespace netsetup::files {
namespace {

using testing::TempDir;

std::string sidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(sid, &text)) return "?";
  std::string out;
  for (const wchar_t* c = text; *c; ++c) out += static_cast<char>(*c);
  ::LocalFree(text);
  return out;
}

std::string processUser() {
  HANDLE token = nullptr;
  ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
  std::vector<unsigned char> buffer(256);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size);
  ::CloseHandle(token);
  return sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

struct Access {
  bool isProtected = false;            // nothing inherited from the folder above
  std::set<std::string> allowed;       // the accounts let in
  bool passedOn = false;               // every entry is inherited by files and folders made inside
};

Access accessOf(const std::string& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const std::wstring wide(path.begin(), path.end());  // the test's paths are ASCII
  EXPECT_EQ(::GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                    nullptr, &descriptor),
            DWORD{ERROR_SUCCESS})
      << path;
  Access access;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ::GetSecurityDescriptorControl(descriptor, &control, &revision);
  access.isProtected = (control & SE_DACL_PROTECTED) != 0;
  access.passedOn = dacl != nullptr && dacl->AceCount > 0;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    ::GetAce(dacl, i, reinterpret_cast<void**>(&header));
    EXPECT_EQ(header->AceType, ACCESS_ALLOWED_ACE_TYPE) << path;
    access.allowed.insert(sidText(&reinterpret_cast<ACCESS_ALLOWED_ACE*>(header)->SidStart));
    const BYTE both = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    access.passedOn = access.passedOn && (header->AceFlags & both) == both;
  }
  ::LocalFree(descriptor);
  return access;
}

TEST(OwnerOnly, PasswordFilesAndTheirFolderLetInOnlyTheOwnerSystemAndAdministrators) {
  const std::set<std::string> ownerOnly = {processUser(), "S-1-5-18", "S-1-5-32-544"};
  TempDir dir;
  const std::string folder = dir.file("backups/of/today");
  struct Row {
    const char* what;
    std::function<void()> make;
    std::string path;
    bool passedOn;
  };
  const std::vector<Row> rows = {
      {"a backups folder and those above it that it needs",
       [&] { ASSERT_TRUE(makeFolder(folder, true)); }, dir.file("backups"), true},
      {"the folder itself", [] {}, folder, true},
      {"a backup", [&] { ASSERT_TRUE(createFile(dir.file("backup.txt"), "password=x\n", true)); },
       dir.file("backup.txt"), false},
      {"an output file with the password, replaced through a temporary",
       [&] {
         ASSERT_TRUE(createFile(dir.file("out.txt"), "old", false));
         ASSERT_TRUE(updateFile(dir.file("out.txt"), [](const std::string&) { return "password=x\n"; }, true));
       },
       dir.file("out.txt"), false},
      {"the log of writes", [&] { ASSERT_TRUE(appendLocked(dir.file("log.txt"), "line\n", true)); },
       dir.file("log.txt"), false},
  };
  for (const Row& row : rows) {
    row.make();
    const Access access = accessOf(row.path);
    EXPECT_TRUE(access.allowed.contains(processUser())) << row.what;
    // wine keeps no descriptor: it shows one made from the Unix mode (the owner, SYSTEM, and
    // Everyone for a mode that lets others in), never protected. Windows keeps ours as made.
    for (const std::string& who : access.allowed) EXPECT_TRUE(ownerOnly.contains(who)) << row.what << ": " << who;
    if (access.isProtected) {
      EXPECT_EQ(access.allowed, ownerOnly) << row.what;
      EXPECT_EQ(access.passedOn, row.passedOn) << row.what;
    }
  }
}

}  // namespace
}  // namespace netsetup::files
