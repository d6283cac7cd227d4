#include <gtest/gtest.h>

#include <string>

#include "text/Ipv4Text.h"

namespace netsetup {
namespace {

TEST(Ipv4Text, Table) {
  // Expected dotted result, or nullptr for a failure.
  const std::pair<const char*, const char*> cases[] = {
      {"1.2.3.4", "1.2.3.4"}, {"1.2.3", "1.2.0.3"}, {"1.2", "1.0.0.2"},
      {"203569230", "12.34.56.78"}, {"0777", "0.0.1.255"}, {"1.2.3.0xaA", "1.2.3.170"},
      {"1.2.3.010", "1.2.3.8"}, {"0x7f.1", "127.0.0.1"}, {"255.255.255.255", "255.255.255.255"},
      {"0xFFFFFFFF", "255.255.255.255"}, {"037777777777", "255.255.255.255"},
      {"3.4.5.6 ", "3.4.5.6"}, {"1.2.3.4\tjunk", "1.2.3.4"}, {"1.16777215", "1.255.255.255"},
      {"1.2.65535", "1.2.255.255"},
      {"1.2.3.08", nullptr}, {"1.1.1.0x", nullptr}, {"1234BEEF", nullptr},
      {"127.127.127.256", nullptr}, {"3.4.5.6.7", nullptr}, {"1.2.3.", nullptr},
      {" 3.4.5.6", nullptr}, {"3. 4.5.6", nullptr}, {"+1.2.3.4", nullptr}, {"1.2.3.4x", nullptr},
      {"127.1.1.1:123", nullptr}, {"1.16777216", nullptr}, {"1.2.65536", nullptr},
      {"1.256.3", nullptr}, {"1..3.4", nullptr}, {"", nullptr}, {"   ", nullptr},
      {"4294967296", nullptr}, {"040000000000", nullptr},
      {"1.2.3.99999999999999999999", nullptr},
  };
  for (const auto& [text, expected] : cases) {
    const std::optional<Ipv4Octets> parsed = tryParseIpv4(text);
    if (expected == nullptr) {
      EXPECT_FALSE(parsed.has_value()) << '"' << text << "\" gave " << formatIpv4(*parsed);
      EXPECT_EQ(inetAddr(text), kIpv4Failure) << text;
    } else {
      ASSERT_TRUE(parsed.has_value()) << '"' << text << '"';
      EXPECT_EQ(formatIpv4(*parsed), expected) << text;
      EXPECT_EQ(inetAddr(text), *parsed) << text;
    }
  }
}

// Only a.b.c.d in plain decimal: every other form inet_addr accepts reads as another address
// than a person means, so it is refused whatever it would give.
TEST(Ipv4Text, DottedQuadTakesOnlyFourPlainDecimalNumbers) {
  const std::pair<const char*, const char*> cases[] = {
      {"10.1.0.20", "10.1.0.20"}, {"0.0.0.0", "0.0.0.0"}, {"255.255.255.255", "255.255.255.255"},
      {"192.168.100.9", "192.168.100.9"},
      {"10.1.0", nullptr}, {"10.1", nullptr}, {"10", nullptr}, {"10.1.0.020", nullptr},
      {"010.001.000.020", nullptr}, {"00.0.0.0", nullptr}, {"1.2.3.256", nullptr}, {"1.2.3.1000", nullptr},
      {"0x7f.0.0.1", nullptr}, {"1.2.3.4 ", nullptr}, {" 1.2.3.4", nullptr}, {"1.2.3.4.5", nullptr},
      {"1..3.4", nullptr}, {"1.2.3.", nullptr}, {".1.2.3", nullptr}, {"+1.2.3.4", nullptr}, {"", nullptr},
      {"1.2.3.-4", nullptr}, {"nonsense", nullptr},
  };
  for (const auto& [text, expected] : cases) {
    const std::optional<Ipv4Octets> parsed = parseDottedQuad(text);
    if (expected == nullptr) {
      EXPECT_FALSE(parsed.has_value()) << '"' << text << "\" gave " << formatIpv4(*parsed);
    } else {
      ASSERT_TRUE(parsed.has_value()) << '"' << text << '"';
      EXPECT_EQ(formatIpv4(*parsed), expected);
    }
  }
}

TEST(Ipv4Text, FirstNumberIsFirstOctet) {
  EXPECT_EQ(inetAddr("10.0.0.1"), (Ipv4Octets{10, 0, 0, 1}));
  EXPECT_EQ(formatIpv4({192, 168, 0, 10}), "192.168.0.10");
}

}  // namespace
}  // namespace netsetup
