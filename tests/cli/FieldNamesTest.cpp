#include <gtest/gtest.h>

#include "cli/formats/FieldNames.h"
#include "cli/formats/Formats.h"
#include "support/Results.h"

namespace netsetup::cli {
namespace {

NetworkFields sample() {
  NetworkFields f;
  f.ipAddress = "192.168.0.10";
  f.ipMask = "255.255.255.0";
  f.ipGateway = "192.168.0.1";
  f.ipPort = "10001";
  f.dhcp = true;
  f.serverAddress = "srv \"main\"\\x";
  f.serverPort = "0080";
  f.apnName = "интернет";
  f.apnLogin = "user\t1";
  f.apnPassword = "s3cret";
  f.authIndex = 3;
  return f;
}

TEST(FieldNames, ValuesAndNames) {
  NetworkFields f = sample();
  const std::pair<std::string_view, std::string> rows[] = {
      {"ip", "192.168.0.10"}, {"mask", "255.255.255.0"}, {"gateway", "192.168.0.1"},
      {"port", "10001"},      {"dhcp", "1"},             {"server", "srv \"main\"\\x"},
      {"server_port", "0080"}, {"apn", "интернет"},      {"login", "user\t1"},
      {"password", "s3cret"}, {"auth", "chap"},          {"SERVER_Port", "0080"},
  };
  for (const auto& [name, value] : rows) EXPECT_EQ(fieldValue(f, name), value) << name;
  for (int index : {-1, 4, 255}) {
    f.authIndex = index;
    EXPECT_EQ(fieldValue(f, "auth"), "unset") << index;
  }
  EXPECT_TRUE(isFieldName("Password"));
  EXPECT_FALSE(isFieldName("pass"));
}

TEST(FieldNames, SetFieldStoresOrRefuses) {
  const std::string fields = "; the fields are ip, mask, gateway, port, dhcp, server, server_port, apn, "
                             "login, password, auth";
  struct Row {
    std::string_view name, value;
    std::optional<std::string> error;
    std::string shown;  // fieldValue afterwards, when stored
  };
  const Row rows[] = {
      {"dhcp", "0", {}, "0"},
      {"dhcp", "1", {}, "1"},
      {"dhcp", "true", {}, "1"},
      {"dhcp", "yes", "dhcp must be 0 or 1 (or true or false), not 'yes'", ""},
      {"dhcp", " 1", "dhcp must be 0 or 1 (or true or false), not ' 1'", ""},
      {"auth", "PAP", {}, "pap"},
      {"auth", "None", {}, "none"},
      {"auth", "unset", {}, "unset"},
      {"auth", "mschap", "auth must be none, any, pap, chap or unset, not 'mschap'", ""},
      {"Port", "not a number", {}, "not a number"},  // the encoder judges it later
      {"mask", "", {}, ""},
      {"colour", "red", "unknown field 'colour'" + fields, ""},
  };
  for (const Row& row : rows) {
    NetworkFields f;
    EXPECT_EQ(testing::failureText(setField(f, row.name, row.value)), row.error) << row.name << "=" << row.value;
    if (!row.error) {
      EXPECT_EQ(fieldValue(f, row.name), row.shown);
    }
  }
}

TEST(FieldNames, OverlayIsAllOrNothingAndDiffersInOrder) {
  NetworkFields f = sample();
  EXPECT_EQ(testing::failureText(applyOverlay(f, {{"ip", "10.0.0.1"}, {"dhcp", "2"}})), "dhcp must be 0 or 1 (or true or false), not '2'");
  EXPECT_EQ(f, sample());
  EXPECT_TRUE(applyOverlay(f, {{"auth", "any"}, {"ip", "10.0.0.1"}, {"ip", "10.0.0.2"}}).ok());
  EXPECT_EQ(differingFields(sample(), f), (std::vector<std::string_view>{"ip", "auth"}));
  NetworkFields unset = sample(), other = sample();
  unset.authIndex = -1;
  other.authIndex = 9;  // both show as unset and store the same byte
  EXPECT_TRUE(differingFields(unset, other).empty());
}

TEST(FieldFormat, TableAndJson) {
  NetworkFields f = sample();
  f.serverAddress = "a\nb\x1b";
  const std::string table = formatFields(f, OutputFormat::Table, false);
  // DHCP is on: the addresses are those the instrument keeps for when it is off.
  EXPECT_TRUE(table.starts_with("ip           192.168.0.10  (kept while DHCP is on)\n"
                                "mask         255.255.255.0  (kept while DHCP is on)\n"))
      << table;
  EXPECT_NE(table.find("\nserver       a\\nb\\x1B\n"), std::string::npos);
  EXPECT_NE(table.find("\nserver_port  0080\n"), std::string::npos);
  EXPECT_NE(table.find("\npassword     ***\n"), std::string::npos);
  EXPECT_EQ(formatFields(f, OutputFormat::Table, true).find("***"), std::string::npos);

  f.serverAddress = "q\"b\\\x01";
  f.apnPassword = "p";
  EXPECT_EQ(formatFields(f, OutputFormat::Json, false),
            "{\"ip\": \"192.168.0.10\", \"mask\": \"255.255.255.0\", \"gateway\": \"192.168.0.1\", "
            "\"port\": 10001, \"dhcp\": 1, \"server\": \"q\\\"b\\\\\\u0001\", \"server_port\": \"0080\", "
            "\"apn\": \"интернет\", \"login\": \"user\\t1\", \"password\": \"***\", \"auth\": \"chap\"}\n");
  EXPECT_NE(formatFields(f, OutputFormat::Json, true).find("\"password\": \"p\""), std::string::npos);
  EXPECT_EQ(jsonString("a\xFF" "b"), "\"a\\ufffdb\"");
  EXPECT_EQ(parseFormat("Ini"), OutputFormat::Ini);
  EXPECT_EQ(parseFormat("csv"), std::nullopt);
}

}  // namespace
}  // namespace netsetup::cli
