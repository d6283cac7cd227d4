#pragma once
#include "link/win32/WinApi.h"

#include "files/FileSystem.h"

namespace netsetup::files {

// Permissions for a file or folder that holds a password: the user running the program, SYSTEM
// and the Administrators may use it, as Windows' own profile folders allow, and nobody else;
// nothing is inherited from the folder above. A folder passes the same on to what is made in it.
class OwnerOnly {
 public:
  explicit OwnerOnly(bool folder);
  ~OwnerOnly();
  OwnerOnly(const OwnerOnly&) = delete;
  OwnerOnly& operator=(const OwnerOnly&) = delete;

  // For CreateFileW or CreateDirectoryW; a failure when the user's account could not be named,
  // so nothing is made open to all in its place.
  SystemResult<SECURITY_ATTRIBUTES*> attributes();

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  DWORD error_ = 0;
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace netsetup::files
