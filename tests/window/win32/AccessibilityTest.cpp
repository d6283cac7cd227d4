// The window's edits and lists as Windows' screen readers name them, through the accessibility
// interface (oleacc), from outside the program.
#include "Driver.h"  // first: winsock2.h before windows.h

#include <oleacc.h>

#include "support/AccessibleNames.h"

namespace netsetup::testing {
namespace {

std::string accessibleNameOf(HWND control) {
  IAccessible* accessible = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&accessible)))) {
    return "?";
  }
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT got = accessible->get_accName(self, &name);
  accessible->Release();
  const std::string text = got == S_OK && name ? toUtf8(name) : "";
  ::SysFreeString(name);
  return text;
}

TEST(Accessibility, EveryEditAndListIsNamedByTheLabelBeforeIt) {
  ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
  {
    Program p(nullptr);
    std::vector<std::string> names;
    for (const AccessibleName& row : accessibleNames()) {
      HWND control = p.item(row.control);
      if (controlInfo(row.control).kind == ControlKind::Edit) {
        names.push_back(accessibleNameOf(control));
      } else {
        // wine's oleacc names a list by its value; Windows' by the label before it, as for an edit.
        HWND before = ::GetWindow(control, GW_HWNDPREV);
        wchar_t kind[16] = {};
        ::GetClassNameW(before, kind, 16);
        names.push_back(std::wstring(kind) == L"Static" ? toUtf8(Program::text(before)) : "");
      }
    }
    expectAccessibleNames(names);
  }
  ::CoUninitialize();
}

}  // namespace
}  // namespace netsetup::testing
