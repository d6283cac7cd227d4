// Backups (netsetup-cli backup/restore): any file handed to restore, and the file formatBackup
// writes for any area, identification, address and time.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "cli/formats/BackupFile.h"
#include "netblock/NetworkCodec.h"

using namespace netsetup;
using namespace netsetup::cli;

namespace {

bool isPrintableAscii(std::string_view s) {
  for (char c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

void checkAnyFile(std::string_view text) {
  const Result<Backup> parsed = parseBackup(text);
  if (!parsed) {
    FUZZ_CHECK(!fuzz::hasControlByte(parsed.failure().text()), "a backup's error is one clean line");
    FUZZ_CHECK(!parsed.failure().text().empty(), "a backup is read or refused with a reason");
    return;
  }
  const Backup& b = *parsed;
  FUZZ_CHECK(!b.type.empty() && isPrintableAscii(b.type), "an accepted type is printable ASCII");
  FUZZ_CHECK(b.timeUtc.size() == 20 && b.timeUtc.back() == 'Z', "an accepted time is a UTC time");
  // A file restore accepts is one backup would write again.
  const Result<Backup> again = parseBackup(formatBackup(b, decodeNetworkSettings(b.area)));
  FUZZ_CHECK(again && *again == b, "an accepted backup written again reads the same");
}

std::string timeText(FuzzedDataProvider& in) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int year = in.ConsumeIntegralInRange(1970, 9999);
  const int month = in.ConsumeIntegralInRange(1, 12);
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int day = in.ConsumeIntegralInRange(1, kDays[month - 1] - (month == 2 && !leap ? 1 : 0));
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, in.ConsumeIntegralInRange(0, 23),
                in.ConsumeIntegralInRange(0, 59), in.ConsumeIntegralInRange(0, 60));
  return text;
}

// What the comment lines show: the area's own fields, or any texts at all.
NetworkFields shownFields(const SettingsArea& area, FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return decodeNetworkSettings(area);
  NetworkFields f;
  f.dhcp = in.ConsumeBool();
  f.authIndex = in.ConsumeIntegralInRange(-1, 4);
  for (std::string* text : {&f.ipAddress, &f.ipMask, &f.ipGateway, &f.ipPort, &f.serverAddress, &f.serverPort,
                            &f.apnName, &f.apnLogin, &f.apnPassword}) {
    *text = in.ConsumeRandomLengthString(40);
  }
  return f;
}

void checkWrittenBackup(FuzzedDataProvider& in) {
  Backup backup;
  backup.type = in.ConsumeRandomLengthString(24);
  for (char& c : backup.type) c = static_cast<char>(0x20 + static_cast<uint8_t>(c) % 95);
  if (backup.type.empty()) backup.type = "VRN-207K";
  backup.address = in.ConsumeIntegral<uint8_t>();
  backup.timeUtc = timeText(in);
  const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(kSettingsAreaSize);
  std::copy(bytes.begin(), bytes.end(), backup.area.begin());
  const NetworkFields shown = shownFields(backup.area, in);
  const size_t damageAt = in.ConsumeIntegral<uint16_t>();

  const std::string text = formatBackup(backup, shown);
  const Result<Backup> parsed = parseBackup(text);
  FUZZ_CHECK_EQ(parsed ? std::string() : parsed.failure().text(), std::string(), "a written backup is accepted");
  FUZZ_CHECK(*parsed == backup, "a written backup reads back exactly");

  std::string crlf = "\xEF\xBB\xBF";
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const Result<Backup> fromCrlf = parseBackup(crlf);
  FUZZ_CHECK(fromCrlf && *fromCrlf == backup, "a backup saved with CRLF and a byte-order mark reads the same");

  // Any one changed byte of the area is refused.
  const size_t lineStart = text.rfind('\n', damageAt % text.size());
  const size_t begin = lineStart == std::string::npos ? 0 : lineStart + 1;
  const size_t at = damageAt % text.size();
  const bool areaLine = text.size() > begin + 5 && text[begin + 4] == ':' && text[begin] == '0';
  const auto hexValue = [](char c) { return c >= 'A' ? c - 'A' + 10 : c - '0'; };
  if (areaLine && at > begin + 5 && std::isxdigit(static_cast<unsigned char>(text[at]))) {
    std::string damaged = text;
    damaged[at] = "0123456789ABCDEF"[(hexValue(text[at]) + 1) % 16];
    FUZZ_CHECK(!parseBackup(damaged).ok(), "a backup with a changed area byte is refused");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  checkAnyFile(fuzz::bytesOf(data, size));
  FuzzedDataProvider in(data, size);
  checkWrittenBackup(in);
  return 0;
}
