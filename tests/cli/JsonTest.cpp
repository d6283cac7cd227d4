#include <gtest/gtest.h>

#include "cli/formats/Json.h"
#include "cli/formats/WriteLog.h"
#include "support/Results.h"

namespace netsetup::cli {
namespace {

TEST(Json, ReadsValuesAndRefusesBrokenText) {
  const std::pair<const char*, const char*> cases[] = {  // text, then the refusal or nullptr
      {R"( {"a": [1, -2.5e3, true, false, null], "b": {"c": "x\"\\\n\u00e9"}} )", nullptr},
      {"[]", nullptr},
      {R"({"a": 1,})", "not JSON at offset 8: a member has no name"},
      {R"({"a" 1})", "not JSON at offset 5: a ':' is missing"},
      {R"(["a)", "not JSON at offset 3: a string is not closed"},
      {"[\"\x01\"]", "not JSON at offset 2: a control character in a string"},
      {R"("\q")", "not JSON at offset 3: an unknown escape"},
      {"[1] 2", "not JSON at offset 4: text after the value"},
      {"[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]", "not JSON at offset 17: nested too deep"},
      {"", "not JSON at offset 0: a value is missing"},
  };
  for (const auto& [text, refusal] : cases) {
    EXPECT_EQ(testing::failureText(parseJson(text)), refusal ? std::optional<std::string>(refusal) : std::nullopt)
        << text;
  }
  const JsonValue v = *parseJson(cases[0].first);
  EXPECT_EQ(v.find("b")->textOf("c"), "x\"\\\n\xC3\xA9");
  EXPECT_EQ(v.find("a")->items[1].text, "-2.5e3");
  EXPECT_TRUE(v.find("a")->items[2].boolean);
}

TEST(Json, AWriteRecordReadsBackAsItWasWritten) {
  WriteRecord r;
  r.time = "2026-12-07T11:22:33Z", r.user = "ops", r.computer = "laptop 7", r.command = "apply";
  r.name = "насос \"север\"", r.link = "TCP 10.0.0.5:10001", r.address = 7, r.type = "VRN-207K";
  r.outcome = "failed", r.exit = 5, r.confirmed = 80, r.verified = false, r.backup = "/home/ops/b.txt";
  r.changes = {{"apn", "internet", std::nullopt}, {"ip", "10.0.0.1", "10.0.0.2"}};
  const std::string line = formatWriteRecord(r);
  EXPECT_EQ(line.find('\n'), line.size() - 1);
  const Result<WriteRecord> back = parseWriteRecord(line);
  ASSERT_EQ(testing::failureText(back), std::nullopt);
  EXPECT_EQ(formatWriteRecord(*back), line);
}

}  // namespace
}  // namespace netsetup::cli
