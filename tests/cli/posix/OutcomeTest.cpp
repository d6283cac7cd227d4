// What a write that stops at each point tells, in each of the three places it is told: the
// lines of `write`, the object of `apply --json`, and the row of a `batch` report. Each must say
// what the instrument holds, never what it was asked to hold.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliFixture.h"
#include "cli/formats/Csv.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::writeFile;

// The fields every case writes: the IP address (chunk 1), the access point name (across chunks
// 2 and 3), the login (chunk 4); the defaults are 192.168.0.10, internet and engineer.
const std::vector<std::string> kValues{"ip=10.0.0.7", "apn=mobile.example", "login=eng2"};

struct Case {
  const char* name;
  void (*fault)(Faults&);
  bool backupFolderMissing;  // the backup cannot be saved (a batch prepares its folder first)
  int exit;
  const char* says;  // on standard error, from write
  // apply's object: whether it says the instrument changed, then its after and unknown.
  bool changed;
  const char* after;
  const char* unknown;
  // the batch report's row: outcome, changed fields, and what its error cell holds
  const char* outcome;
  const char* written;
  const char* error;
};

const Case kCases[] = {
    {"written and verified", [](Faults&) {}, false, kExitOk, "", true,
     R"({"ip": "10.0.0.7", "apn": "mobile.example", "login": "eng2"})", "[]", "ok", "ip;apn;login", ""},
    {"no answer to identification", [](Faults& f) { f.silent = true; }, false, kExitIdentify,
     "no valid answer to the identification request", false, "{}", "[]", "failed", "",
     "no valid answer to the identification request"},
    {"chunk 1 sent, never confirmed", [](Faults& f) { f.unconfirmedFromWrite = 1; }, false, kExitTransfer,
     "chunk 1 of 5 was sent but not confirmed", false,
     R"({"ip": null, "apn": "internet", "login": "engineer"})", R"(["ip"])", "failed", "",
     "not known, the instrument holds the old or the new value: ip; not written: apn, login"},
    // The name spans chunks 2 and 3: its first bytes are confirmed, its last ones in doubt.
    {"chunk 3 sent, never confirmed", [](Faults& f) { f.unconfirmedFromWrite = 3; }, false, kExitTransfer,
     "chunk 3 of 5 was sent but not confirmed (code 2: no answer in time); chunks 1-2 are written and "
     "confirmed; chunks 4-5 were not sent",
     true, R"({"ip": "10.0.0.7", "apn": null, "login": "engineer"})", R"(["apn"])", "failed", "ip",
     "written and confirmed: ip; not known, the instrument holds the old or the new value: apn; not written: "
     "login"},
    {"no backup, nothing sent", [](Faults&) {}, true, kExitRefused, "no backup, so nothing was written", false,
     R"({"ip": "192.168.0.10", "apn": "internet", "login": "engineer"})", "[]", nullptr, "", ""},
    // Reading back finds the first byte of the address stored as 11.
    {"reading back finds another value",
     [](Faults& f) { f.mangleAddress = uint16_t(kSettingsAreaAddress + kIpAddressOffset); }, false, kExitVerify,
     "verification failed: reading back, the instrument holds ip '11.0.0.7' ('10.0.0.7' was written)", true,
     R"({"ip": "11.0.0.7", "apn": "mobile.example", "login": "eng2"})", "[]", "failed", "apn;login",
     "verification failed: reading back, the instrument holds ip '11.0.0.7'"},
};

class Outcome : public Cli, public ::testing::WithParamInterface<Case> {
 protected:
  void arrange() {
    bus.with(0, [](Instrument& i) {
      i = Instrument(1);  // its memory and its counts as new
      GetParam().fault(i.faults());
    });
  }
  std::vector<std::string> withValues(std::vector<std::string> args) {
    for (const std::string& value : kValues) args.insert(args.end(), {"--set", value});
    return over(args);
  }
};

TEST_P(Outcome, IsToldAsTheInstrumentHoldsIt) {
  const Case& c = GetParam();
  retries = 1;

  const std::string folder = dir.file(c.backupFolderMissing ? "none/" : "");
  arrange();
  EXPECT_EQ(run(withValues({"write", "--backup", folder + "w.txt"})), c.exit) << err.str();
  EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
  if (c.exit != kExitOk && writes() > 0) {  // a write that ran says how to undo it
    EXPECT_NE(err.str().find("restore " + folder + "w.txt"), std::string::npos) << err.str();
  }

  arrange();
  EXPECT_EQ(run(withValues({"apply", "--json", "--backup", folder + "a.txt"})), c.exit) << err.str();
  const std::string json = out.str();
  EXPECT_NE(json.find(std::string("\"changed\": ") + (c.changed ? "true" : "false")), std::string::npos) << json;
  EXPECT_NE(json.find(std::string("\"after\": ") + c.after + ", \"unknown\": " + c.unknown), std::string::npos)
      << json;
  if (c.exit != kExitOk) {
    EXPECT_NE(json.find(std::string("\"rc\": ") + std::to_string(c.exit)), std::string::npos) << json;
    EXPECT_NE(json.find(c.error), std::string::npos) << json;
  }

  if (!c.outcome) return;
  arrange();
  writeFile(dir.file("w.csv"), "tcp,address,ip,apn,login\n" + endpoint() + ",1,10.0.0.7,mobile.example,eng2\n");
  run({"batch", dir.file("w.csv"), "--report", dir.file("r.csv")});
  const Result<CsvTable> report = parseCsv(readFile(dir.file("r.csv")));
  ASSERT_TRUE(report.ok() && report->rows.size() == 2) << readFile(dir.file("r.csv"));
  const CsvRow& row = report->rows[1];
  EXPECT_EQ(row[5], c.outcome);
  EXPECT_EQ(row[6], c.written);
  EXPECT_NE(row[8].find(c.error), std::string::npos) << row[8];
  if (*c.error == 0) {
    EXPECT_EQ(row[8], "");
  }
}

INSTANTIATE_TEST_SUITE_P(Write, Outcome, ::testing::ValuesIn(kCases), [](const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.name;
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
});

}  // namespace
}  // namespace netsetup::cli
