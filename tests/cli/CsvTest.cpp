#include <gtest/gtest.h>

#include "cli/formats/Csv.h"
#include "support/Results.h"

namespace netsetup::cli {
namespace {

TEST(Csv, Reads) {
  struct Row {
    std::string text;
    std::vector<CsvRow> rows;
    std::vector<size_t> lines;
  };
  const Row rows[] = {
      {"a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}},
      {"\xEF\xBB\xBF" "a\n\n\r\nb\n", {{"a"}, {"b"}}, {1, 4}},
      {"a\rb\r", {{"a"}, {"b"}}, {1, 2}},
      {"\"x,y\",\"say \"\"hi\"\"\",\"\"\n", {{"x,y", "say \"hi\"", ""}}, {1}},
      {"\"two\r\nlines\",z\nnext", {{"two\r\nlines", "z"}, {"next"}}, {1, 3}},
      {",a,\n", {{"", "a", ""}}, {1}},
      {" a , b ", {{" a ", " b "}}, {1}},
      {"", {}, {}},
  };
  for (const Row& row : rows) {
    const Result<CsvTable> r = parseCsv(row.text);
    EXPECT_EQ(testing::failureText(r), std::nullopt);
    if (!r) continue;
    EXPECT_EQ(r->rows, row.rows) << row.text;
    EXPECT_EQ(r->lines, row.lines) << row.text;
  }
}

// Spreadsheets where the comma is the decimal mark (a Russian Excel) save "CSV" with semicolons.
TEST(Csv, TakesTheSeparatorFromTheHeaderLine) {
  const std::pair<std::string, char> rows[] = {
      {"tcp;address;name;apn;server_port\r\n10.0.0.5;1;x;a,b;9000\r\n", ';'},
      {"tcp,address,name\n10.0.0.5,1,\"a;b;c\"\n", ','},
      {"\xEF\xBB\xBF\r\n\"a;b\";c;d\n", ';'},
      {"\"x;y;z\",name\n", ','},  // separators inside quotes do not count
      {"address\n1;2;3\n", ','},    // only the header line counts
      {"", ','},
  };
  for (const auto& [text, separator] : rows) EXPECT_EQ(csvSeparator(text), separator) << text;

  const Result<CsvTable> r = parseCsv("a;\"b;c\";\"d\"\"\"\r\n1,5;;x\r\n", ';');
  ASSERT_EQ(testing::failureText(r), std::nullopt);
  EXPECT_EQ(r->rows, (std::vector<CsvRow>{{"a", "b;c", "d\""}, {"1,5", "", "x"}}));
  EXPECT_EQ(testing::failureText(parseCsv("\"a\",b\n", ';')), "CSV line 1: text after a closing quote");
}

TEST(Csv, Refuses) {
  const std::pair<std::string, std::string> rows[] = {
      {"a\n\"open,b\nc\n", "CSV line 2: a quoted field is not closed"},
      {"a\n\"x\"y,b\n", "CSV line 2: text after a closing quote"},
      {"\"multi\nline\" z\n", "CSV line 2: text after a closing quote"},
  };
  for (const auto& [text, error] : rows) {
    EXPECT_EQ(testing::failureText(parseCsv(text)), error);
  }
}

TEST(Csv, WritesExactlyAndRoundTrips) {
  const std::pair<CsvRow, std::string> rows[] = {
      // First, so that the file starts with it: unquoted, it would be read as a byte-order mark.
      {{"\xEF\xBB\xBF" "a", "b"}, "\"\xEF\xBB\xBF" "a\",b\r\n"},
      {{"a", "b"}, "a,b\r\n"},
      {{"x,y", "q\"", "cr\r", "lf\n"}, "\"x,y\",\"q\"\"\",\"cr\r\",\"lf\n\"\r\n"},
      {{" lead", "trail\t", "in side"}, "\" lead\",\"trail\t\",in side\r\n"},
      {{"=1+2", "", "интернет"}, "=1+2,,интернет\r\n"},
      {{""}, "\"\"\r\n"},
  };
  std::string all;
  std::vector<CsvRow> expected;
  for (const auto& [row, text] : rows) {
    EXPECT_EQ(formatCsvRow(row), text);
    all += text;
    expected.push_back(row);
  }
  const Result<CsvTable> back = parseCsv(all);
  ASSERT_EQ(testing::failureText(back), std::nullopt);
  EXPECT_EQ(back->rows, expected);
}

}  // namespace
}  // namespace netsetup::cli
