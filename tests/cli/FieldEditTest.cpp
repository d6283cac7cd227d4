#include <gtest/gtest.h>

#include <algorithm>

#include "cli/formats/FieldEdit.h"
#include "support/Results.h"

namespace netsetup::cli {
namespace {

// An area with DHCP on over stored addresses, an authentication byte the list has no entry for
// and a server text the window would refuse: what a write of other fields must carry through.
SettingsArea heldArea() {
  SettingsArea area;
  for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(i * 7 + 3);
  const uint8_t addresses[] = {10, 0, 0, 5, 255, 255, 0, 0, 10, 0, 0, 1};
  std::copy(std::begin(addresses), std::end(addresses), area.begin() + kIpAddressOffset);
  area[kIpPortOffset] = 0x11, area[kIpPortOffset + 1] = 0x27;  // 10001
  area[kDhcpOffset] = 1;
  std::fill_n(area.begin() + kServerAddressOffset, kServerAddressSize, 0);
  std::copy_n("a\nb", 3, area.begin() + kServerAddressOffset);
  area[kAuthTypeOffset] = 7;
  std::fill_n(area.begin() + kApnPasswordOffset, kApnPasswordSize, 0);
  std::copy_n("secret", 6, area.begin() + kApnPasswordOffset);
  return area;
}

// The bytes outside the listed fields are those read.
void expectOnlyFieldsChanged(const SettingsArea& read, const FieldEdit& edit) {
  for (size_t i = 0; i < read.size(); ++i) {
    const auto inChanged = std::any_of(edit.changed.begin(), edit.changed.end(), [i](std::string_view name) {
      const FieldInfo& bytes = fieldInfo(settingsField(name));
      return i >= bytes.offset && i < bytes.offset + bytes.size;
    });
    if (!inChanged) {
      EXPECT_EQ(edit.area[i], read[i]) << "byte " << i;
    }
  }
}

TEST(FieldEdit, EncodesOnlyTheNamedFields) {
  struct Case {
    const char* name;
    FieldOverlay overlay;
    std::string error;
    std::vector<std::string_view> changed;
    std::vector<std::string> shown;  // "name: before -> after" of each named field
  };
  const Case cases[] = {
      {"a port, DHCP on", {{"port", "$2713"}}, "", {"port"}, {"port: 10001 -> 10003"}},
      {"an address is judged whatever DHCP says", {{"dhcp", "1"}, {"mask", "nonsense", "t.ini line 4"}},
       "t.ini line 4: The subnet mask 'nonsense' is not four decimal numbers 0..255 without leading zeros (such "
       "as 192.168.0.10); it is no address at all",
       {}, {}},
      {"a short form is refused, saying how it would have been read", {{"ip", "10.1"}},
       "The IP address '10.1' is not four decimal numbers 0..255 without leading zeros (such as 192.168.0.10); "
       "it would have been stored as 10.0.0.1",
       {}, {}},
      {"and so is a leading zero", {{"gateway", "10.1.0.020"}},
       "The gateway '10.1.0.020' is not four decimal numbers 0..255 without leading zeros (such as "
       "192.168.0.10); it would have been stored as 10.1.0.16",
       {}, {}},
      {"an address kept while DHCP is on is shown and stored", {{"ip", "10.0.0.7"}}, "", {"ip"},
       {"ip: 10.0.0.5 -> 10.0.0.7"}},
      {"the same value changes nothing, unset replaces a byte with no entry",
       {{"mask", "255.255.0.0"}, {"auth", "unset"}}, "", {"auth"},
       {"mask: 255.255.0.0 -> 255.255.0.0", "auth: unset -> unset"}},
      {"*** keeps the password, even after a value", {{"password", "new"}, {"password", "***"}}, "", {}, {}},
      {"a password is shown as ***", {{"password", "new"}}, "", {"password"}, {"password: *** -> ***"}},
  };
  const SettingsArea read = heldArea();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result<FieldEdit> edited = editNamedFields(read, c.overlay);
    EXPECT_EQ(testing::failureText(edited).value_or(""), c.error);
    // A refusal lists nothing and leaves the area as read.
    const FieldEdit edit = edited ? *edited : FieldEdit{read, read, {}, {}};
    EXPECT_EQ(edit.changed, c.changed);
    std::vector<std::string> shown;
    for (const NamedField& f : edit.named) shown.push_back(std::string(f.name) + ": " + f.before + " -> " + f.after);
    EXPECT_EQ(shown, c.shown);
    expectOnlyFieldsChanged(read, edit);
  }
}

}  // namespace
}  // namespace netsetup::cli
