#include <gtest/gtest.h>

#include "cli/formats/Csv.h"
#include "cli/formats/Sha256.h"
#include "text/Hex.h"
#include "cli/formats/Worklist.h"
#include "support/Results.h"

namespace netsetup::cli {
namespace {

TEST(Worklist, ReadsRows) {
  const Result<Worklist> read = parseWorklist(
      "Name, SERIAL ,baud,address,IP,dhcp,password\r\n"
      " pump 1 ,COM3,9600,1,10.0.0.11,,\" p w \"\r\n"
      ",,,,,,\r\n"
      "\"pump, 2\",COM3,,2,,0,\r\n");
  ASSERT_EQ(testing::failureText(read), std::nullopt);
  const Worklist& list = *read;
  ASSERT_EQ(list.rows.size(), 2u);
  const WorkRow& a = list.rows[0];
  EXPECT_EQ(a.line, 2u);
  EXPECT_EQ(a.name, "pump 1");
  EXPECT_EQ(a.serial, "COM3");
  EXPECT_EQ(a.fields, (FieldOverlay{{"ip", "10.0.0.11", "worklist line 2, column ip"},
                                    {"password", "p w", "worklist line 2, column password"}}));
  EXPECT_EQ(rowKey(a), "pump 1|COM3@9600||1");
  const WorkRow& b = list.rows[1];
  EXPECT_EQ(b.line, 4u);
  EXPECT_EQ(b.fields, (FieldOverlay{{"dhcp", "0", "worklist line 4, column dhcp"}}));
  EXPECT_EQ(rowKey(b), "pump, 2|COM3@||2");
}

TEST(Worklist, Sha256) {
  const auto hex = [](std::string_view text) {
    std::string out;
    for (uint8_t byte : sha256(text)) out += hexDigits(byte, 2);
    return out;
  };
  EXPECT_EQ(hex(""), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
  EXPECT_EQ(hex("abc"), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
  // 56 bytes: the length no longer fits the first block.
  EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1");
}

// A row is done only with the values it was done with: the last one given for each field, the
// template's included, and the report learns nothing of them.
TEST(Worklist, ResumeKeysFollowTheValues) {
  WorkRow row;
  row.name = "pump 1", row.tcp = "10.0.0.5", row.address = "1";
  const FieldOverlay values{{"apn", "internet"}, {"password", "Secret-7"}};
  const std::string key = resumeKey(row, values, "k1");
  EXPECT_TRUE(key.starts_with(rowKey(row) + "|values:")) << key;
  EXPECT_EQ(rowKeyPart(key), rowKey(row));
  EXPECT_EQ(rowKeyPart(rowKey(row)), rowKey(row));  // a report made before the digest
  EXPECT_EQ(key.find("Secret"), std::string::npos);
  EXPECT_EQ(resumeKey(row, {{"password", "Secret-7"}, {"apn", "other"}, {"apn", "internet"}}, "k1"), key);
  for (const std::string& other : {resumeKey(row, {{"apn", "internet"}, {"password", "Secret-8"}}, "k1"),
                                   resumeKey(row, {{"apn", "internet"}}, "k1"), resumeKey(row, values, "k2")}) {
    EXPECT_NE(other, key);
  }
}

TEST(Worklist, RefusesHeadersAndShapes) {
  const std::pair<std::string, std::string> rows[] = {
      {"", "the worklist is empty: it needs a header row"},
      {"serial,address,colour\n",
       "worklist: unknown column 'colour'; the columns are serial, baud, tcp, address, name, ip, mask, "
       "gateway, port, dhcp, server, server_port, apn, login, password, auth"},
      {"serial,address,\n", "worklist: unknown column ''; the columns are serial, baud, tcp, address, name, "
                            "ip, mask, gateway, port, dhcp, server, server_port, apn, login, password, auth"},
      {"serial,address,Serial\n", "worklist: the column serial appears twice"},
      {"serial,ip\n", "worklist: the header has no address column"},
      {"name,address,ip\n", "worklist: the header needs a serial or a tcp column"},
      {"tcp,address\n1.2.3.4,1\n1.2.3.4\n", "worklist line 3: 1 cells, but the header has 2"},
      {"tcp,address\n\"1.2.3.4,1\n", "worklist: CSV line 2: a quoted field is not closed"},
  };
  for (const auto& [text, error] : rows) {
    EXPECT_EQ(testing::failureText(parseWorklist(text)), error) << text;
  }
}

TEST(Report, GuardsFormulasAndFindsDoneRows) {
  EXPECT_EQ(reportHeader(), "time,key,name,link,address,outcome,changed,backup,error,first_backup\r\n");
  const ReportRow evil{"2026-12-07T11:22:33Z", "=cmd|COM1@|1", "=cmd", "+x", "-1", "ok", "@sum", "\tb", "'q", "=b"};
  const std::string line = formatReportRow(evil);
  EXPECT_EQ(line, "2026-12-07T11:22:33Z,'=cmd|COM1@|1,'=cmd,'+x,'-1,ok,'@sum,'\tb,''q,'=b\r\n");

  std::string report = reportHeader() + line;
  report += formatReportRow({"t", "b|COM1@|2", "b", "", "2", "failed", "", "b1.txt", "timeout", ""});
  report += formatReportRow({"t", "b|COM1@|2", "b", "", "2", "failed", "", "b2.txt", "timeout", "b1.txt"});
  report += formatReportRow({"t", "c|COM1@|3", "c", "", "3", "unchanged", "", "c.txt", "", "c0.txt"});
  const Result<DoneRows> read = doneRows(report, "r.csv");
  ASSERT_EQ(testing::failureText(read), std::nullopt);
  const DoneRows& done = *read;
  EXPECT_FALSE(done.earlierLayout);
  EXPECT_EQ(done.keys, (std::set<std::string>{"=cmd|COM1@|1", "c|COM1@|3"}));
  EXPECT_EQ(done.firstBackups, (std::map<std::string, std::string>{
                                   {"=cmd|COM1@|1", "=b"}, {"b|COM1@|2", "b1.txt"}, {"c|COM1@|3", "c0.txt"}}));

  const std::pair<std::string, std::string> rows[] = {
      {"", ""},
      {"name,serial,address\r\n", "r.csv is not a netsetup report (its first line is not the report's header)"},
      {reportHeader() + "a,b\r\n", "r.csv is not a netsetup report (line 2 has 2 cells, not 10)"},
      {reportHeader() + "\"a\r\n", "r.csv is not a netsetup report (CSV line 2: a quoted field is not closed)"},
  };
  for (const auto& [text, error] : rows) {
    EXPECT_EQ(testing::failureText(doneRows(text, "r.csv")).value_or(""), error) << text;
  }
}

// A report begun before the first_backup column is resumed and added to in its own shape.
TEST(Report, AReportOfTheEarlierLayoutKeepsItsShape) {
  std::string report = "time,key,name,link,address,outcome,changed,backup,error\r\nt,a||h|1,a,,1,ok,,a.txt,\r\n";
  Result<DoneRows> done = doneRows(report, "r.csv");
  ASSERT_EQ(testing::failureText(done), std::nullopt);
  EXPECT_TRUE(done->earlierLayout);
  EXPECT_EQ(done->keys, std::set<std::string>{"a||h|1"});
  report += formatReportRow({"t", "b||h|2", "b", "", "2", "unchanged", "", "b2.txt", "", "b1.txt"}, true);
  EXPECT_TRUE(report.ends_with(",b2.txt,first backup: b1.txt\r\n")) << report;
  done = doneRows(report, "r.csv");
  ASSERT_EQ(testing::failureText(done), std::nullopt);
  EXPECT_EQ(done->keys.size(), 2u);
}

}  // namespace
}  // namespace netsetup::cli
