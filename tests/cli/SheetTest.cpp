#include <gtest/gtest.h>

#include "cli/formats/Formats.h"
#include "cli/formats/Sheet.h"
#include "support/Results.h"

namespace netsetup::cli {
namespace {

NetworkFields fromOverlay(const FieldOverlay& overlay) {
  NetworkFields f;
  EXPECT_TRUE(applyOverlay(f, overlay).ok());
  return f;
}

TEST(Sheet, RoundTripsTrickyValues) {
  const std::vector<std::pair<std::string, std::string>> values = {
      {"server", " leading"}, {"server", "trailing\t"}, {"server", "\"quoted\""}, {"server", "'single'"},
      {"server", "\"open"},   {"server", "a=b;c"},      {"server", ";comment?"},  {"server", "[section]"},
      {"server", "\""},       {"server", "'x\""},       {"server", "\" \""},      {"apn", "интернет сервис"},
      {"login", ""},          {"password", " p ; w "}, {"auth", "unset"},       {"dhcp", "1"},
  };
  for (const auto& [name, value] : values) {
    NetworkFields f = fromOverlay({{"ip", "10.0.0.1"}, {"auth", "pap"}});
    ASSERT_TRUE(setField(f, name, value).ok());
    const std::string sheet = formatFields(f, OutputFormat::Ini, true);
    const Result<FieldOverlay> back = parseSheet(sheet);
    ASSERT_EQ(testing::failureText(back), std::nullopt) << sheet;
    EXPECT_EQ(back->size(), 11u);
    EXPECT_EQ(fromOverlay(*back), f) << sheet;
  }
}

TEST(Sheet, HiddenPasswordAndLineBreaksAreLeftOut) {
  NetworkFields f = fromOverlay({{"password", "secret"}, {"server", "two\nlines"}});
  const std::string sheet = formatFields(f, OutputFormat::Ini, false);
  EXPECT_NE(sheet.find("\n;password=***  (not shown: writing this sheet keeps the instrument's password)\n"),
            std::string::npos);
  EXPECT_NE(sheet.find("\n; server: holds a line break, left out\n"), std::string::npos);
  const Result<FieldOverlay> back = parseSheet(sheet);
  ASSERT_EQ(testing::failureText(back), std::nullopt);
  for (const FieldValue& given : *back) EXPECT_TRUE(given.name != "password" && given.name != "server") << given.name;
  EXPECT_EQ(back->size(), 9u);
}

TEST(Sheet, ReadsAndRefuses) {
  struct Row {
    std::string text;
    std::string error;
    FieldOverlay fields;
  };
  const Row rows[] = {
      {"\xEF\xBB\xBF[Settings]\r\n  IP = 10.0.0.1 \r\n; apn=x\r\n[other]\r\nfoo=bar\r\n", "", {{"ip", "10.0.0.1", "sheet line 2"}}},
      {"[settings]\n", "", {}},
      {"ip=1.2.3.4\n", "sheet has no [settings] section", {}},
      {"[setting]\nip=1\n", "sheet has no [settings] section", {}},
      {"[settings]\nip=1\nmac=00:11\n",
       "sheet line 3: unknown field 'mac'; the fields are ip, mask, gateway, port, dhcp, server, "
       "server_port, apn, login, password, auth",
       {}},
      {"[settings]\nip=1\nIp=2\n", "sheet line 3: ip is set a second time", {}},
      {"[settings]\nip=1\n[settings]\nmask=2\n", "sheet line 3: a second [settings] section", {}},
      {"[settings]\nip: 10.0.0.5\n", "sheet line 2: 'ip: 10.0.0.5' is not NAME=VALUE", {}},
      {"[settings]\nserver=" + std::string(2040, 'a') + "\n", "", {{"server", std::string(2040, 'a'), "sheet line 2"}}},
      {"[settings]\r\nip=1\r\nserver=" + std::string(2041, 'a') + "\r\n",
       "sheet line 3 is 2048 bytes long; a sheet line holds at most 2047 bytes", {}},
  };
  for (const Row& row : rows) {
    const Result<FieldOverlay> r = parseSheet(row.text);
    EXPECT_EQ(testing::failureText(r).value_or(""), row.error) << row.text;
    EXPECT_EQ(r ? *r : FieldOverlay{}, row.fields) << row.text;
  }
}

}  // namespace
}  // namespace netsetup::cli
