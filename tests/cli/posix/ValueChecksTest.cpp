// Every value is judged before any instrument is touched, wherever it was given (the command
// line, a sheet, a template, a worklist cell), and a refusal says where it came from. An address
// is four decimal numbers; a worklist names every link cell a row needs and each instrument once.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliFixture.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::writeFile;

struct Case {
  const char* name;
  std::vector<std::string> args;  // {dir} stands for the test's folder, {tcp} for the instruments' link
  const char* sheet;              // written to {dir}/s.ini when given
  const char* worklist;           // written to {dir}/w.csv when given; {tcp} inside too
  int exit;
  const char* says;  // {dir} and {tcp} inside too
};

// Short or zero-padded addresses the window reads as other addresses.
const Case kAddresses[] = {
    {"--set, a short form", {"--tcp", "{tcp}", "write", "--set", "ip=10.1"}, nullptr, nullptr, kExitRefused,
     "The IP address '10.1' is not four decimal numbers 0..255 without leading zeros (such as 192.168.0.10); it "
     "would have been stored as 10.0.0.1; nothing was written"},
    {"--set, DHCP on does not excuse a bad one", {"--tcp", "{tcp}", "write", "--set", "dhcp=1", "--set", "mask=nonsense"},
     nullptr, nullptr, kExitRefused, "The subnet mask 'nonsense' is not four decimal numbers"},
    {"a sheet, zero-padded", {"--tcp", "{tcp}", "apply", "{dir}/s.ini"}, "[settings]\ngateway=010.001.000.020\n",
     nullptr, kExitRefused, "{dir}/s.ini line 2: The gateway '010.001.000.020' is not four decimal numbers 0..255 "
     "without leading zeros (such as 192.168.0.10); it would have been stored as 8.1.0.16"},
    {"diff, three numbers", {"--tcp", "{tcp}", "diff", "{dir}/s.ini"}, "[settings]\n\nip=10.1.0\n", nullptr,
     kExitRefused, "{dir}/s.ini line 3: The IP address '10.1.0' is not four decimal numbers"},
    {"a worklist cell, one number", {"batch", "{dir}/w.csv", "--report", "{dir}/r.csv"}, nullptr,
     "tcp,address,ip\n{tcp},1,10\n", kExitRefused,
     "{dir}/w.csv line 2, column ip: The IP address '10' is not four decimal numbers 0..255 without leading zeros "
     "(such as 192.168.0.10); it would have been stored as 0.0.0.10; no instrument was touched"},
    {"a template", {"batch", "{dir}/w.csv", "--template", "{dir}/s.ini", "--report", "{dir}/r.csv"},
     "[settings]\nip=10.1.0.020\n", "tcp,address\n{tcp},1\n", kExitRefused,
     "{dir}/s.ini line 2: The IP address '10.1.0.020' is not four decimal numbers"},
};

// A worklist that would reach the wrong instrument, or one that fails only once connected.
const Case kWorklists[] = {
    {"an empty address cell", {}, nullptr, "tcp,address,port\n{tcp},1,10003\n{tcp},,10004\n", kExitUsage,
     "{dir}/w.csv line 3, column address: empty; every row needs its instrument's network address; no instrument "
     "was touched"},
    {"a serial row without its rate", {}, nullptr, "serial,baud,address\nCOM3,,1\n", kExitUsage,
     "{dir}/w.csv line 2, column baud: a serial row needs its rate"},
    {"serial and tcp in one row", {}, nullptr, "name,serial,baud,tcp,address\npump 5,COM3,,{tcp},1\n", kExitUsage,
     "{dir}/w.csv line 2 (pump 5): the columns serial and tcp cannot both be filled in one row"},
    {"a rate for a tcp row", {}, nullptr, "name,baud,tcp,address\npump 6,9600,{tcp},1\n", kExitUsage,
     "{dir}/w.csv line 2 (pump 6): the columns baud and tcp cannot both be filled in one row"},
    {"a rate that is not one", {}, nullptr, "name,serial,baud,address\npump 7,COM3,fast,1\n", kExitUsage,
     "{dir}/w.csv line 2 (pump 7), column baud: 'fast' is not a valid integer value"},
    {"a cell the encoder refuses", {}, nullptr, "tcp,address,apn\n{tcp},1,internet\n{tcp},2,aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n",
     kExitRefused, "{dir}/w.csv line 3, column apn: The access point name '"},
    {"a template value the encoder refuses", {"--template", "{dir}/s.ini"}, "[settings]\nport=70000\n",
     "tcp,address\n{tcp},1\n", kExitRefused,
     "{dir}/s.ini line 2: The unit port '70000' is outside 0..65535; no instrument was touched"},
    // The link written two ways is still one instrument.
    {"one instrument twice", {}, nullptr, "tcp,address,port\n{tcp},1,10003\n{tcp},2,10003\n{tcp},01,10004\n",
     kExitUsage, "{dir}/w.csv lines 2 and 4 both name address 1 on TCP {tcp}: the second would undo the first"},
};

class Values : public Cli, public ::testing::WithParamInterface<Case> {
 protected:
  std::string filled(std::string text) {
    for (const auto& [mark, value] : {std::pair{"{dir}", dir.path().string()}, {"{tcp}", endpoint()}}) {
      for (size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, std::string(mark).size(), value);
    }
    return text;
  }
  void runCase() {
    const Case& c = GetParam();
    if (c.sheet) writeFile(dir.file("s.ini"), c.sheet);
    if (c.worklist) writeFile(dir.file("w.csv"), filled(c.worklist));
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(filled(arg));
    if (args.empty() || args.front() == "--template") {
      args.insert(args.begin(), {"batch", dir.file("w.csv"), "--report", dir.file("r.csv")});
    }
    EXPECT_EQ(run(args), c.exit) << err.str();
    EXPECT_NE(err.str().find(filled(c.says)), std::string::npos) << err.str();
    // Refused before anything: no instrument asked, no report begun.
    EXPECT_EQ(bus.with(0, [](Instrument& i) { return i.identifyRequests() + i.readRequests(); }), 0u);
    EXPECT_EQ(writes(0) + writes(1), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("r.csv")));
  }
};

using Address = Values;
TEST_P(Address, IsFourDecimalNumbersWhereverItIsGiven) { runCase(); }
using Worklist = Values;
TEST_P(Worklist, IsRefusedBeforeAnyInstrument) { runCase(); }

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.name;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}
INSTANTIATE_TEST_SUITE_P(Cli, Address, ::testing::ValuesIn(kAddresses), caseName);
INSTANTIATE_TEST_SUITE_P(Cli, Worklist, ::testing::ValuesIn(kWorklists), caseName);

// With DHCP on, what read exports holds the addresses the instrument keeps, so writing it back
// changes nothing, and turning DHCP off brings them back as they were.
TEST_F(Cli, ARoundTripWithDhcpOnChangesNothing) {
  ASSERT_EQ(run(over({"write", "--set", "dhcp=1", "--backup", dir.file("b1.txt")})), kExitOk) << err.str();
  const SettingsArea before = areaIn(memory());
  ASSERT_EQ(run(over({"read", "--format", "ini", "-o", dir.file("s.ini")})), kExitOk) << err.str();
  EXPECT_NE(readFile(dir.file("s.ini")).find("\nip=192.168.0.10\nmask=255.255.255.0\ngateway=192.168.0.1\n"),
            std::string::npos)
      << readFile(dir.file("s.ini"));
  ASSERT_EQ(run(over({"write", dir.file("s.ini")})), kExitOk) << err.str();
  EXPECT_NE(out.str().find("already holds these values; nothing was written"), std::string::npos) << out.str();
  EXPECT_EQ(areaIn(memory()), before);
  ASSERT_EQ(run(over({"read"})), kExitOk);
  EXPECT_NE(out.str().find("ip           192.168.0.10  (kept while DHCP is on)\n"), std::string::npos) << out.str();
  ASSERT_EQ(run(over({"backup", dir.file("b2.txt")})), kExitOk);
  EXPECT_NE(readFile(dir.file("b2.txt")).find("\n# gateway=192.168.0.1  (kept while DHCP is on)\n"), std::string::npos);
}

}  // namespace
}  // namespace netsetup::cli
