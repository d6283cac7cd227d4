#include <gtest/gtest.h>

#include <sstream>

#include "cli/Arguments.h"
#include "cli/HelpText.h"
#include "text/Utf8.h"

namespace netsetup::cli {
namespace {

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

TEST(CliOptions, AcceptedLines) {
  struct Row {
    const char* line;
    void (*check)(const CliOptions&);
  };
  const Row rows[] = {
      {"read --serial com3", [](const CliOptions& o) { EXPECT_EQ(o.link.serial, "COM3"); }},
      {"--serial=/dev/ttyUSB0 read", [](const CliOptions& o) { EXPECT_EQ(o.link.serial, "/dev/ttyUSB0"); }},
      {"--serial \\\\.\\COM20 identify", [](const CliOptions& o) { EXPECT_EQ(o.link.serial, "\\\\.\\COM20"); }},
      {"read --serial COM16 --baud 0x1C200", [](const CliOptions& o) { EXPECT_EQ(o.link.baud, 115200); }},
      {"read --tcp 10.0.0.5", [](const CliOptions& o) {
         EXPECT_EQ(o.link.tcpHost, "10.0.0.5");
         EXPECT_FALSE(o.link.tcpPort);
       }},
      {"read --tcp=10.0.0.5:65535 --address 255", [](const CliOptions& o) {
         EXPECT_EQ(o.link.tcpPort, 65535);
         EXPECT_EQ(o.link.address, 255);
       }},
      {"read --format JSON -o out.json --show-password --trace", [](const CliOptions& o) {
         EXPECT_EQ(o.format, OutputFormat::Json);
         EXPECT_EQ(o.output, "out.json");
         EXPECT_TRUE(o.showPassword && o.link.trace);
       }},
      {"write --set IP=1.2.3.4 --set apn=a=b --tcp 1.2.3.4 --no-verify --backup b.txt",
       [](const CliOptions& o) {
         EXPECT_EQ(o.sets, (FieldOverlay{{"ip", "1.2.3.4"}, {"apn", "a=b"}}));
         EXPECT_TRUE(o.file.empty());
         EXPECT_FALSE(o.verify);
         EXPECT_EQ(o.backup, "b.txt");
       }},
      {"write sheet.ini --serial COM1", [](const CliOptions& o) { EXPECT_EQ(o.file, "sheet.ini"); }},
      {"restore --force -- -odd-name.txt", [](const CliOptions& o) {
         EXPECT_EQ(o.file, "-odd-name.txt");
         EXPECT_TRUE(o.force);
       }},
      {"scan --addresses 3-3 --serial COM1", [](const CliOptions& o) { EXPECT_EQ(o.addresses, std::pair(3, 3)); }},
      {"batch list.csv --report=r.csv", [](const CliOptions& o) { EXPECT_EQ(o.report, "r.csv"); }},
      {"write --help", [](const CliOptions& o) { EXPECT_TRUE(o.help && o.command == "write"); }},
      {"--baud nonsense --help read", [](const CliOptions& o) { EXPECT_TRUE(o.help && o.command == "read"); }},
      {"--version", [](const CliOptions& o) { EXPECT_TRUE(o.version); }},
  };
  for (const Row& row : rows) {
    const Result<CliOptions, UsageError> r = parseArguments(words(row.line));
    SCOPED_TRACE(row.line);
    EXPECT_TRUE(r.ok()) << r.failure().message;
    if (r) row.check(*r);
  }
}

TEST(CliOptions, RefusedLines) {
  const std::pair<const char*, const char*> rows[] = {
      // The window's own texts.
      {"read --serial COM1 --address 256", "The network address '256' is outside 0..255"},
      {"read --serial COM1 --address -1", "The network address '-1' is outside 0..255"},
      {"read --serial COM1 --address one", "'one' is not a valid integer value"},
      {"read --tcp 1.2.3.4:70000", "The TCP port '70000' is outside 0..65535"},
      {"read --tcp 1.2.3.4:", "'' is not a valid integer value"},
      {"read --tcp 1.2.3.4:http", "'http' is not a valid integer value"},
      // Ours.
      {"read --tcp host/example", "The host 'host/example' is neither an IPv4 address nor a host name"},
      {"read --tcp :10001", "The host '' is neither an IPv4 address nor a host name"},
      {"read --tcp -x", "The host '-x' is neither an IPv4 address nor a host name"},
      {"read --serial COM17", "The serial port 'COM17' is not COM1..COM16 or a device path"},
      {"read --serial COM0", "The serial port 'COM0' is not COM1..COM16 or a device path"},
      {"read --serial ttyUSB0", "The serial port 'ttyUSB0' is not COM1..COM16 or a device path"},
      {"read --serial COM1 --baud 4800",
       "The baud rate '4800' is not one of 9600, 19200, 28800, 38400, 57600, 115200"},
      {"read --serial COM1 --tcp 1.2.3.4", "--serial and --tcp cannot be used together"},
      {"read --tcp 1.2.3.4 --baud 9600", "--baud goes with a serial link, not with --tcp"},
      {"read --serial COM1 --baud 9600 --baud 19200", "--baud is given twice"},
      {"read --format xml", "The format 'xml' is not table, json or ini"},
      {"read --serial", "--serial needs a value"},
      {"read --trace=yes", "--trace takes no value"},
      {"read --colour", "unknown option '--colour'"},
      {"read extra", "unexpected argument 'extra' after read"},
      {"read --set ip=1.2.3.4", "the option --set does not belong to read"},
      {"write --format json --set ip=1", "the option --format does not belong to write"},
      {"scan --address 1", "the option --address does not belong to scan"},
      {"batch w.csv --report r.csv --serial COM1", "the option --serial does not belong to batch"},
      {"write --set colour=red",
       "unknown field 'colour'; the fields are ip, mask, gateway, port, dhcp, server, server_port, "
       "apn, login, password, auth"},
      {"write --set ip", "--set needs NAME=VALUE, not 'ip'"},
      {"write --set ip=1 --set IP=2", "--set ip is given twice"},
      {"write", "write needs a SHEET or --set NAME=VALUE"},
      {"write a.ini b.ini", "unexpected argument 'b.ini' after write"},
      {"write --set port=1 --backup b.txt --backup-dir d",
       "--backup names the file and --backup-dir the folder: give one of them"},
      {"backup b.txt --backup-dir d", "backup FILE names the file; --backup-dir is for the name backup chooses itself"},
      {"write --set port=1 --name", "--name needs a value"},
      {"backup --name=", "The name '' must be a non-empty line of text"},
      {"restore", "restore needs a FILE: netsetup-cli restore FILE"},
      {"diff", "diff needs a SHEET: netsetup-cli diff SHEET"},
      {"batch w.csv", "batch needs --report REPORT.csv"},
      {"scan --addresses 10-9", "The address range '10-9' is not A-B with 0 <= A <= B <= 255"},
      {"scan --addresses 0-256", "The address range '0-256' is not A-B with 0 <= A <= B <= 255"},
      {"scan --addresses 5", "The address range '5' is not A-B with 0 <= A <= B <= 255"},
      {"--serial COM1", "no command given; the commands are identify, read, write, apply, backup, "
                        "restore, diff, scan, batch, log"},
      {"erase", "unknown command 'erase'; the commands are identify, read, write, apply, backup, "
                "restore, diff, scan, batch, log"},
      {"erase --help", "unknown command 'erase'; the commands are identify, read, write, apply, "
                       "backup, restore, diff, scan, batch, log"},
  };
  for (const auto& [line, error] : rows) {
    const Result<CliOptions, UsageError> r = parseArguments(words(line));
    EXPECT_FALSE(r.ok()) << line;
    if (!r) {
      EXPECT_EQ(r.failure().message, error) << line;
    }
  }
}

TEST(HelpText, EveryTextFitsAndIsItsOwn) {
  std::vector<std::string> texts{helpText("")};
  std::vector<std::string_view> commands;
  for (const CommandInfo& command : commandTable()) commands.push_back(command.name);
  for (std::string_view command : commands) texts.push_back(helpText(command));
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    ASSERT_TRUE(text.ends_with("\n"));
    for (size_t pos = 0, end; pos < text.size(); pos = end + 1) {
      end = text.find('\n', pos);
      // An 80-column console (Windows' default) breaks a line of 80 after its last character.
      EXPECT_LE(countUtf8Characters(text.substr(pos, end - pos)), 79u) << text.substr(pos, end - pos);
    }
    EXPECT_EQ(text.find('{'), text.find("{\"type\"")) << "a mark left in: " << text;
    EXPECT_NE(text.find("Exit status"), std::string::npos) << i;
    if (i > 0) {
      EXPECT_NE(text.find(std::string(commands[i - 1])), std::string::npos);
      EXPECT_NE(text, texts[0]) << commands[i - 1];
    }
  }
  EXPECT_NE(texts[0].find("UTF-8"), std::string::npos);
  for (const char* code : {"130", "  9 ", "  2 "}) EXPECT_NE(texts[0].find(code), std::string::npos) << code;
}

}  // namespace
}  // namespace netsetup::cli
