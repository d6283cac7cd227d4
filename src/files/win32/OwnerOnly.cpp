#include "files/win32/OwnerOnly.h"

#include <sddl.h>

#include <string>
#include <string_view>
#include <vector>

#include "link/win32/OpenDiagnosis.h"
#include "text/UniqueHandle.h"

namespace netsetup::files {

namespace {

struct TokenTraits {
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static void close(Handle token) { ::CloseHandle(token); }
};

// The process's own account as "S-1-5-21-...", empty with GetLastError() set when it cannot be had.
std::wstring userSid() {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
  const UniqueHandle<TokenTraits> token(opened);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<unsigned char> buffer(size);
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
  std::wstring sid(text);
  ::LocalFree(text);
  return sid;
}

// In Windows' security descriptor language, for the account `userSid`.
std::wstring ownerOnlyDescriptor(std::wstring_view userSid, bool folder) {
  // P: protected, so the folder above passes nothing down; FA: full access; OICI: files and
  // folders made inside inherit the entry.
  const std::wstring flags = folder ? L"OICI" : L"";
  std::wstring text = L"D:P";
  for (const std::wstring_view who : {userSid, std::wstring_view(L"SY"), std::wstring_view(L"BA")}) {
    text += L"(A;" + flags + L";FA;;;" + std::wstring(who) + L")";
  }
  return text;
}

}  // namespace

OwnerOnly::OwnerOnly(bool folder) {
  const std::wstring sid = userSid();
  if (sid.empty() ||
      !::ConvertStringSecurityDescriptorToSecurityDescriptorW(ownerOnlyDescriptor(sid, folder).c_str(), SDDL_REVISION_1,
                                                             &descriptor_, nullptr)) {
    error_ = ::GetLastError();
    descriptor_ = nullptr;
    return;
  }
  attributes_ = {sizeof attributes_, descriptor_, FALSE};
}

OwnerOnly::~OwnerOnly() {
  if (descriptor_) ::LocalFree(descriptor_);
}

SystemResult<SECURITY_ATTRIBUTES*> OwnerOnly::attributes() {
  if (!descriptor_) {
    return SystemError{SystemError::Kind::Other, "cannot set permissions for the owner only: " + systemMessage(error_)};
  }
  return &attributes_;
}

}  // namespace netsetup::files
