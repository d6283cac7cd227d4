#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "netblock/AuthType.h"
#include "netblock/NetworkCodec.h"

namespace netsetup {
namespace {

using Bytes = std::vector<uint8_t>;

void put(SettingsArea& area, size_t offset, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), area.begin() + offset);
}

void putText(SettingsArea& area, size_t offset, size_t size, std::string_view text) {
  std::fill_n(area.begin() + offset, size, 0);
  std::copy(text.begin(), text.end(), area.begin() + offset);
}

std::string repeat(std::string_view piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// A record as an instrument in service might hold it, with DHCP off and every byte the tool
// does not edit set to something recognisable.
SettingsArea realisticArea() {
  SettingsArea area;
  for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(0xA0 ^ i);
  put(area, kIpAddressOffset, {192, 168, 0, 10});
  put(area, kIpMaskOffset, {255, 255, 255, 0});
  put(area, kIpGatewayOffset, {192, 168, 0, 1});
  put(area, kIpPortOffset, {0x88, 0x13});      // 5000
  put(area, kServerPortOffset, {0x11, 0x27});  // 10001
  area[kDhcpOffset] = 0;
  putText(area, kServerAddressOffset, kServerAddressSize, "dispatch.example.net");
  area[kAuthTypeOffset] = 2;
  putText(area, kApnNameOffset, kApnNameSize, "internet.\xF2\xE5\xF1\xF2");  // "тест"
  putText(area, kDialStringOffset, kDialStringSize, "ATD*99***1#");
  putText(area, kApnLoginOffset, kApnLoginSize, "gdata");
  putText(area, kApnPasswordOffset, kApnPasswordSize, "gdata");
  return area;
}

NetworkFields realisticFields() {
  NetworkFields f;
  f.ipAddress = "192.168.0.10";
  f.ipMask = "255.255.255.0";
  f.ipGateway = "192.168.0.1";
  f.ipPort = "5000";
  f.serverPort = "10001";
  f.serverAddress = "dispatch.example.net";
  f.authIndex = 2;
  f.apnName = "internet.тест";
  f.apnLogin = "gdata";
  f.apnPassword = "gdata";
  return f;
}

TEST(NetworkCodec, DecodesErasedMemory) {
  SettingsArea area;
  area.fill(0xFF);
  NetworkFields expected;
  expected.dhcp = true;
  expected.ipPort = expected.serverPort = "65535";
  expected.serverAddress = expected.apnName = repeat("я", 32);
  expected.apnLogin = expected.apnPassword = repeat("я", 16);
  expected.authIndex = -1;
  EXPECT_EQ(decodeNetworkSettings(area), expected);
}

TEST(NetworkCodec, Decodes) {
  struct Case {
    const char* name;
    std::function<void(SettingsArea&)> edit;
    std::function<void(NetworkFields&)> expect;
  };
  const Case cases[] = {
      {"realistic record", [](SettingsArea&) {}, [](NetworkFields&) {}},
      {"DHCP byte 2 hides the addresses", [](SettingsArea& a) { a[kDhcpOffset] = 2; },
       [](NetworkFields& f) { f.dhcp = true, f.ipAddress = f.ipMask = f.ipGateway = ""; }},
      {"ports are little-endian", [](SettingsArea& a) { put(a, kIpPortOffset, {0x34, 0x12}); },
       [](NetworkFields& f) { f.ipPort = "4660"; }},
      {"auth byte 3", [](SettingsArea& a) { a[kAuthTypeOffset] = 3; }, [](NetworkFields& f) { f.authIndex = 3; }},
      {"auth byte 4 selects nothing", [](SettingsArea& a) { a[kAuthTypeOffset] = 4; },
       [](NetworkFields& f) { f.authIndex = -1; }},
      {"text ends at the first zero", [](SettingsArea& a) { put(a, kServerAddressOffset, {'a', 'b', 0, 'c'}); },
       [](NetworkFields& f) { f.serverAddress = "ab"; }},
      {"16-character login without terminator",
       [](SettingsArea& a) { putText(a, kApnLoginOffset, kApnLoginSize, "abcdefghijklmnop"); },
       [](NetworkFields& f) { f.apnLogin = "abcdefghijklmnop"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsArea area = realisticArea();
    c.edit(area);
    NetworkFields expected = realisticFields();
    c.expect(expected);
    EXPECT_EQ(decodeNetworkSettings(area), expected);
  }
}

TEST(NetworkCodec, EncodesEditedFields) {
  struct Case {
    const char* name;
    std::function<void(NetworkFields&)> edit;
    size_t offset;
    Bytes expected;
  };
  const Bytes serverOfOneYa = [] {
    Bytes b(kServerAddressSize, 0);
    b[0] = 0xFF;
    return b;
  }();
  const Case cases[] = {
      {"dotted address, first number first", [](NetworkFields& f) { f.ipAddress = "10.0.0.1"; }, kIpAddressOffset,
       {10, 0, 0, 1}},
      {"DHCP on, empty addresses", [](NetworkFields& f) { f.dhcp = true, f.ipAddress = f.ipMask = f.ipGateway = ""; },
       kIpAddressOffset, Bytes(12, 0xFF)},
      {"DHCP on keeps a valid address", [](NetworkFields& f) { f.dhcp = true, f.ipMask = "10.1.2.3"; },
       kIpMaskOffset, {10, 1, 2, 3}},
      {"DHCP flag written as 1", [](NetworkFields& f) { f.dhcp = true; }, kDhcpOffset, {1}},
      {"hex port", [](NetworkFields& f) { f.ipPort = "$10"; }, kIpPortOffset, {16, 0}},
      {"highest port", [](NetworkFields& f) { f.serverPort = "65535"; }, kServerPortOffset, {0xFF, 0xFF}},
      {"shorter text is zero-filled", [](NetworkFields& f) { f.serverAddress = "я"; }, kServerAddressOffset,
       serverOfOneYa},
      {"full server address keeps the auth byte after it",
       [](NetworkFields& f) { f.serverAddress = repeat("s", 32); }, kServerAddressOffset,
       [] { Bytes b(32, 's'); b.push_back(2); return b; }()},
      {"16-character login without terminator", [](NetworkFields& f) { f.apnLogin = "abcdefghijklmnop"; },
       kApnLoginOffset, Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', 'g'}},
      {"16 Cyrillic characters fit 16 bytes", [](NetworkFields& f) { f.apnPassword = repeat("я", 16); },
       kApnPasswordOffset, Bytes(16, 0xFF)},
      {"no auth selected", [](NetworkFields& f) { f.authIndex = -1; }, kAuthTypeOffset, {255}},
      {"auth CHAP", [](NetworkFields& f) { f.authIndex = 3; }, kAuthTypeOffset, {3}},
      {"auth index the list cannot offer", [](NetworkFields& f) { f.authIndex = 7; }, kAuthTypeOffset, {255}},
      {"dial string", [](NetworkFields&) {}, kDialStringOffset,
       Bytes{'*', '9', '9', '#', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsArea area = realisticArea();
    NetworkFields fields = realisticFields();
    c.edit(fields);
    const Result<void, EncodeError> result = encodeNetworkSettings(fields, area);
    ASSERT_TRUE(result.ok()) << result.failure().message();
    EXPECT_EQ(Bytes(area.begin() + c.offset, area.begin() + c.offset + c.expected.size()), c.expected);
  }
}

TEST(NetworkCodec, RefusesAndLeavesTheAreaUntouched) {
  struct Case {
    const char* name;
    std::function<void(NetworkFields&)> edit;
    EncodeErrorKind kind;
    SettingsField field;
    std::string message;  // empty: not checked
  };
  using K = EncodeErrorKind;
  using F = SettingsField;
  const Case cases[] = {
      {"port above range", [](NetworkFields& f) { f.ipPort = "70000"; }, K::OutOfRange, F::IpPort,
       "The unit port '70000' is outside 0..65535"},
      {"negative port", [](NetworkFields& f) { f.serverPort = "-1"; }, K::OutOfRange, F::ServerPort, ""},
      {"port not an integer", [](NetworkFields& f) { f.serverPort = "abc"; }, K::NotInteger, F::ServerPort,
       "'abc' is not a valid integer value"},
      {"bad gateway, DHCP off", [](NetworkFields& f) { f.ipGateway = "abc"; }, K::BadAddress, F::IpGateway,
       "The gateway 'abc' is not a dotted IPv4 address"},
      {"empty mask, DHCP off", [](NetworkFields& f) { f.ipMask = ""; }, K::BadAddress, F::IpMask, ""},
      {"40-character server address", [](NetworkFields& f) { f.serverAddress = repeat("x", 40); }, K::TooLong,
       F::ServerAddress,
       "The server address '" + repeat("x", 40) + "' is 40 characters long; the field holds at most 32"},
      {"a long text's length is given once", [](NetworkFields& f) { f.serverAddress = repeat("x", 41); },
       K::TooLong, F::ServerAddress,
       "The server address '" + repeat("x", 40) + "…' is 41 characters long; the field holds at most 32"},
      {"17 Cyrillic characters", [](NetworkFields& f) { f.apnPassword = repeat("я", 17); }, K::TooLong,
       F::ApnPassword, ""},
      {"character without a byte", [](NetworkFields& f) { f.apnName = "a✓"; }, K::Unencodable, F::ApnName,
       "The access point name 'a✓' holds the character U+2713 '✓', which Windows-1251 cannot hold"},
      {"zero character", [](NetworkFields& f) { f.apnLogin = std::string("a\0b", 3); }, K::ControlCharacter,
       F::ApnLogin, ""},
      {"pasted line break", [](NetworkFields& f) { f.serverAddress = "dispatch.example.org\n."; },
       K::ControlCharacter, F::ServerAddress,
       "The server address 'dispatch.example.org\\n.' holds the control character U+000A (line feed); only "
       "printable characters can be stored"},
      {"tab", [](NetworkFields& f) { f.apnName = "a\tb"; }, K::ControlCharacter, F::ApnName, ""},
      {"delete", [](NetworkFields& f) { f.apnPassword = "\x7F"; }, K::ControlCharacter, F::ApnPassword, ""},
      {"huge port text is quoted by its beginning", [](NetworkFields& f) { f.ipPort = std::string(15000, '9'); },
       K::NotInteger, F::IpPort, ""},
      {"invalid UTF-8", [](NetworkFields& f) { f.apnPassword = "\xFF"; }, K::Unencodable, F::ApnPassword, ""},
      {"ports before addresses", [](NetworkFields& f) { f.ipAddress = "", f.serverPort = ""; },
       K::NotInteger, F::ServerPort, "'' is not a valid integer value"},
      {"addresses in record order", [](NetworkFields& f) { f.ipGateway = "x", f.ipMask = "1.2.3.4.5"; },
       K::BadAddress, F::IpMask, ""},
      {"port before texts", [](NetworkFields& f) { f.apnLogin = repeat("l", 17), f.serverPort = "x"; },
       K::NotInteger, F::ServerPort, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsArea area = realisticArea();
    const SettingsArea before = area;
    NetworkFields fields = realisticFields();
    c.edit(fields);
    const Result<void, EncodeError> result = encodeNetworkSettings(fields, area);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure().kind, c.kind);
    EXPECT_EQ(result.failure().field, c.field);
    if (!c.message.empty()) {
      EXPECT_EQ(result.failure().message(), c.message);
    }
    EXPECT_LT(result.failure().message().size(), 200u);
    EXPECT_EQ(area, before);
  }
}

TEST(AuthType, TypedTextSelectsOnlyAnEntryItEquals) {
  const std::pair<const char*, int> cases[] = {
      {"pap", 2}, {"CHAP", 3}, {"любой", 1}, {"НЕТ", 0}, {"xyz", -1}, {"", -1}, {"pap ", -1}, {"PAP✓", -1},
  };
  for (auto [typed, index] : cases) EXPECT_EQ(authIndexForText(typed), index) << typed;
}

// Decoding and encoding again without edits changes only what the tool always rewrites.
TEST(NetworkCodec, RoundTripKeepsEveryUneditedByte) {
  SettingsArea erased;
  erased.fill(0xFF);
  SettingsArea dhcpTwo = realisticArea();
  dhcpTwo[kDhcpOffset] = 2;
  put(dhcpTwo, kIpAddressOffset, Bytes(12, 0xFF));
  const SettingsArea areas[] = {realisticArea(), dhcpTwo, erased};

  for (const SettingsArea& original : areas) {
    SettingsArea area = original;
    ASSERT_TRUE(encodeNetworkSettings(decodeNetworkSettings(area), area).ok());
    for (size_t i = 0; i < kSettingsAreaSize; ++i) {
      uint8_t expected = original[i];
      if (i >= kDialStringOffset && i < kDialStringOffset + kDialStringSize) {
        const size_t k = i - kDialStringOffset;
        expected = k < kDialString.size() ? static_cast<uint8_t>(kDialString[k]) : 0;
      } else if (i == kDhcpOffset) {
        expected = original[i] != 0 ? 1 : 0;
      }
      EXPECT_EQ(area[i], expected) << "byte " << i;
    }
  }
}

}  // namespace
}  // namespace netsetup
