#include <gtest/gtest.h>

#include <algorithm>

#include "cli/formats/BackupFile.h"
#include "support/Results.h"

namespace netsetup::cli {
namespace {

Backup sample() {
  Backup b{"VRN-207K", 7, "2026-12-07T11:22:33Z", {}};
  for (size_t i = 0; i < b.area.size(); ++i) b.area[i] = static_cast<uint8_t>(i * 37 + 3);
  return b;
}

NetworkFields decoded() {
  NetworkFields f;
  f.ipAddress = "192.168.0.10";
  f.apnPassword = "secret";
  f.serverAddress = "evil\ncheck=crc32:00000000";
  return f;
}

// `text` with the last occurrence of `from` replaced by `to`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.rfind(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

TEST(BackupFile, Crc32) {
  EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32(""), 0u);
  EXPECT_EQ(crc32(std::string(1, '\0')), 0xD202EF8Du);
}

TEST(BackupFile, LayoutAndRoundTrip) {
  const std::string text = formatBackup(sample(), decoded());
  EXPECT_TRUE(text.starts_with("# netsetup backup of an instrument's settings area, as read; restore it "
                               "with: netsetup-cli restore FILE\ntype=VRN-207K\naddress=7\n"
                               "time=2026-12-07T11:22:33Z\narea=0x0620+200\n"
                               "0000: 03 28 4D 72 97 BC E1 06 2B 50 75 9A BF E4 09 2E 53 78 9D C2\n0014: "));
  EXPECT_NE(text.find("\n00B4: "), std::string::npos);
  EXPECT_NE(text.find("\n# password=***\n"), std::string::npos);
  EXPECT_EQ(text.find("secret"), std::string::npos);
  EXPECT_NE(text.find("\n# server=evil\\ncheck=crc32:00000000\n"), std::string::npos);

  const Result<Backup> back = parseBackup(text);
  ASSERT_EQ(testing::failureText(back), std::nullopt);
  EXPECT_EQ(*back, sample());
}

TEST(BackupFile, RefusesDamage) {
  const std::string good = formatBackup(sample(), decoded());
  const std::string line0028 = good.substr(good.find("0028:"), 66);
  const std::string check = good.substr(good.rfind("check="));  // the first is in a comment
  const std::pair<std::string, std::string> rows[] = {
      {edited(good, "0000: 03 28", "0000: 03 29"), "backup check failed: the file was changed or damaged"},
      {edited(good, "0000: 03 28", "0000: 03 2G"),
       "backup line 6: expected 20 bytes as two hex digits each after the offset"},
      {edited(good, line0028, ""), "backup line 8: expected offset 0028, found 003C"},
      {edited(good, "0028:", "0030:"), "backup line 8: expected offset 0028, found 0030"},
      {edited(good, "\n# ip=", "\n00C8: 00\n# ip="), "backup line 16: expected no more area lines, found offset 00C8"},
      {edited(good, "\n00B4:", "\n#00B4:"), "backup: the area ends after 9 of 10 lines (offset 00B4 is missing)"},
      {edited(good, check, "check=crc32:00000000\n"), "backup check failed: the file was changed or damaged"},
      {edited(good, check, "check=md5:00"), "backup line 27: check must be crc32: and 8 hex digits, found 'md5:00'"},
      {edited(good, check, ""), "backup: the check= line is missing"},
      {edited(good, "T11:22:33Z", "T24:00:00Z"),
       "backup line 4: time must be a UTC time YYYY-MM-DDTHH:MM:SSZ, found '2026-12-07T24:00:00Z'"},
      {edited(good, "2026-12-07", "2026-02-29"),
       "backup line 4: time must be a UTC time YYYY-MM-DDTHH:MM:SSZ, found '2026-02-29T11:22:33Z'"},
      {edited(good, "33Z", "33"), "backup line 4: time must be a UTC time YYYY-MM-DDTHH:MM:SSZ, found "
                                  "'2026-12-07T11:22:33'"},
      {edited(good, "address=7", "address=07"), "backup line 3: address must be 0..255 in decimal, found '07'"},
      {edited(good, "address=7", "address=256"), "backup line 3: address must be 0..255 in decimal, found '256'"},
      {edited(good, "area=0x0620+200", "area=0x0620+155"),
       "backup line 5: area must be 0x0620+200 (the settings area), found '0x0620+155'"},
      {edited(good, "type=VRN-207K", "type="), "backup line 2: type must be printable ASCII, found ''"},
      {edited(good, "type=VRN-207K", "type=VRN\x01"), "backup line 2: type must be printable ASCII, found 'VRN\\x01'"},
      {edited(good, "address=7\n", "address=7\naddress=7\n"), "backup line 4: address given a second time"},
      {edited(good, "type=VRN-207K\n", ""), "backup: the type= line is missing"},
      {edited(good, "area=", "size="), "backup line 5: unknown key 'size'"},
      {edited(good, "\n# ip=", "\nip 1\n# ip="), "backup line 16: not a key=value, area or comment line: 'ip 1'"},
  };
  for (const auto& [text, error] : rows) {
    EXPECT_EQ(testing::failureText(parseBackup(text)), error);
  }
}

// A refusal names the same line whichever line ends the file has: CRLF counts as one break.
TEST(BackupFile, NamesTheSameLineWhateverTheLineEnds) {
  const std::string damaged = edited(formatBackup(sample(), decoded()), "address=7", "address=07");
  for (const std::string ending : {"\n", "\r\n", "\r"}) {
    std::string text;
    for (char c : damaged) text += c == '\n' ? ending : std::string(1, c);
    EXPECT_EQ(testing::failureText(parseBackup(text)), "backup line 3: address must be 0..255 in decimal, found '07'");
  }
}

TEST(BackupFile, ToleratesWhatEditorsAndToolsDo) {
  const std::string good = formatBackup(sample(), decoded());
  std::string crlf = "\xEF\xBB\xBF";
  for (char c : good) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::string cr = good;  // an editor that keeps the old Mac line ends
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  std::string lower = good;
  const size_t area = lower.find("0000:");
  for (size_t i = area; i < lower.find("\n# "); ++i) lower[i] = static_cast<char>(std::tolower(lower[i]));
  Backup leap = sample();
  leap.timeUtc = "2028-02-29T23:59:60Z";
  leap.address = 0;
  for (const std::string& text : {crlf, cr, lower, "\n  \n" + good + "\n", formatBackup(leap, {})}) {
    const Result<Backup> r = parseBackup(text);
    EXPECT_EQ(testing::failureText(r), std::nullopt);
    EXPECT_TRUE(r && (*r == sample() || *r == leap));
  }
}

}  // namespace
}  // namespace netsetup::cli
