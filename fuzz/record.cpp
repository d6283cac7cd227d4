// The 200-byte settings area: any bytes the instrument holds decode, and writing the decoded
// fields back changes only what the tool edits; any texts the window holds encode or are
// refused cleanly.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "netblock/NetworkCodec.h"
#include "text/IntegerText.h"
#include "text/Ipv4Text.h"

using namespace netsetup;

namespace {

struct TextField {
  size_t offset, size;
  SettingsField field;
};
constexpr TextField kTexts[] = {{kServerAddressOffset, kServerAddressSize, SettingsField::ServerAddress},
                                {kApnNameOffset, kApnNameSize, SettingsField::ApnName},
                                {kApnLoginOffset, kApnLoginSize, SettingsField::ApnLogin},
                                {kApnPasswordOffset, kApnPasswordSize, SettingsField::ApnPassword}};

bool isControl(uint8_t b) { return b < 0x20 || b == 0x7F; }

// The stored text of a field: its bytes up to the first zero.
size_t textLength(const SettingsArea& area, const TextField& t) {
  const auto* begin = area.begin() + t.offset;
  return static_cast<size_t>(std::find(begin, begin + t.size, 0) - begin);
}

// Decoding what was read, then encoding it again, as a Write with untouched fields does.
void checkReadBack(const SettingsArea& read) {
  const NetworkFields fields = decodeNetworkSettings(read);
  SettingsArea written = read;
  const Result<void, EncodeError> result = encodeNetworkSettings(fields, written);

  // The one thing a decoded record can hold that encoding refuses: a control byte inside a text
  // (the window would store it where nobody sees it). The first such field, in record order.
  const TextField* dirty = nullptr;
  uint8_t control = 0;
  for (const TextField& t : kTexts) {
    const size_t length = textLength(read, t);
    const auto* begin = read.begin() + t.offset;
    const auto* found = std::find_if(begin, begin + length, isControl);
    if (found != begin + length) {
      dirty = &t;
      control = *found;
      break;
    }
  }
  if (dirty) {
    FUZZ_CHECK(!result.ok(), "a text with a control byte is refused");
    FUZZ_CHECK(result.failure().kind == EncodeErrorKind::ControlCharacter, "refused as a control character");
    FUZZ_CHECK(result.failure().field == dirty->field, "the first dirty text in record order is named");
    FUZZ_CHECK(result.failure().character == char32_t{control}, "the control character is named");
    FUZZ_CHECK(written == read, "a refused encoding leaves the area as read");
    FUZZ_CHECK(!result.failure().message().empty(), "a refusal has a message");
    return;
  }
  FUZZ_CHECK(result.ok(), "every decoded record without control bytes encodes");

  // What encoding normalises; every other byte goes back as read.
  SettingsArea expected = read;
  const bool dhcp = read[kDhcpOffset] != 0;
  if (dhcp) std::fill_n(expected.begin() + kIpAddressOffset, 3 * kIpv4Size, 0xFF);  // no address text
  expected[kDhcpOffset] = dhcp ? 1 : 0;
  if (read[kAuthTypeOffset] >= kAuthTypeCount) expected[kAuthTypeOffset] = kAuthNoneByte;
  for (const TextField& t : kTexts) {
    std::fill(expected.begin() + t.offset + textLength(read, t), expected.begin() + t.offset + t.size, 0);
  }
  std::fill_n(expected.begin() + kDialStringOffset, kDialStringSize, 0);
  std::copy(kDialString.begin(), kDialString.end(), expected.begin() + kDialStringOffset);
  for (size_t i = 0; i < kSettingsAreaSize; ++i) {
    if (written[i] != expected[i]) {
      fuzz::violated(("byte " + std::to_string(i) + " of a re-encoded record").c_str(), __FILE__, __LINE__);
    }
  }
  FUZZ_CHECK(decodeNetworkSettings(written) == fields, "a re-encoded record decodes to the same fields");
}

const std::string& textOf(const NetworkFields& f, SettingsField field) {
  switch (field) {
    case SettingsField::IpAddress: return f.ipAddress;
    case SettingsField::IpMask: return f.ipMask;
    case SettingsField::IpGateway: return f.ipGateway;
    case SettingsField::IpPort: return f.ipPort;
    case SettingsField::ServerPort: return f.serverPort;
    case SettingsField::ServerAddress: return f.serverAddress;
    case SettingsField::ApnName: return f.apnName;
    case SettingsField::ApnLogin: return f.apnLogin;
    case SettingsField::ApnPassword: return f.apnPassword;
    case SettingsField::Dhcp:
    case SettingsField::AuthType:
    case SettingsField::DialString: break;  // no text: never refused
  }
  return f.ipAddress;
}

// Whatever the window's edits hold, written over a record just read.
void checkTyped(const SettingsArea& read, FuzzedDataProvider& in) {
  NetworkFields typed;
  typed.dhcp = in.ConsumeBool();
  typed.authIndex = in.ConsumeIntegralInRange(-2, 5);
  for (std::string* text : {&typed.ipAddress, &typed.ipMask, &typed.ipGateway, &typed.ipPort, &typed.serverAddress,
                            &typed.serverPort, &typed.apnName, &typed.apnLogin, &typed.apnPassword}) {
    *text = in.ConsumeRandomLengthString(64);
  }
  SettingsArea area = read;
  const Result<void, EncodeError> result = encodeNetworkSettings(typed, area);
  if (!result.ok()) {
    FUZZ_CHECK(area == read, "a refused encoding leaves the area as read");
    const EncodeError& e = result.failure();
    FUZZ_CHECK_EQ(e.text, textOf(typed, e.field), "the refusal quotes the field's own text");
    switch (e.kind) {
      case EncodeErrorKind::NotInteger:
        FUZZ_CHECK(!parseInteger(e.text), "only a non-integer is NotInteger");
        break;
      case EncodeErrorKind::OutOfRange:
        FUZZ_CHECK(parseInteger(e.text) && (*parseInteger(e.text) < 0 || *parseInteger(e.text) > 65535),
                   "only a port outside 0..65535 is OutOfRange");
        break;
      case EncodeErrorKind::BadAddress:
        FUZZ_CHECK(!typed.dhcp && !tryParseIpv4(e.text), "only an unparsable address without DHCP is refused");
        break;
      case EncodeErrorKind::TooLong:
        FUZZ_CHECK(e.length > e.capacity, "TooLong names a length over the capacity");
        break;
      case EncodeErrorKind::Unencodable:
      case EncodeErrorKind::ControlCharacter:
        break;
    }
    FUZZ_CHECK(!e.message().empty(), "a refusal has a message");
    return;
  }
  // Accepted: it reads back as the window would show it after a fresh Read.
  const NetworkFields shown = decodeNetworkSettings(area);
  FUZZ_CHECK(shown.dhcp == typed.dhcp, "dhcp reads back");
  FUZZ_CHECK(shown.authIndex == (typed.authIndex >= 0 && typed.authIndex < kAuthTypeCount ? typed.authIndex : -1),
             "the authentication index reads back, anything else as none");
  FUZZ_CHECK_EQ(shown.ipPort, std::to_string(*parseInteger(typed.ipPort)), "unit port reads back as its value");
  FUZZ_CHECK_EQ(shown.serverPort, std::to_string(*parseInteger(typed.serverPort)), "server port reads back");
  if (!typed.dhcp) {
    FUZZ_CHECK_EQ(shown.ipAddress, formatIpv4(*tryParseIpv4(typed.ipAddress)), "address reads back");
    FUZZ_CHECK_EQ(shown.ipMask, formatIpv4(*tryParseIpv4(typed.ipMask)), "mask reads back");
    FUZZ_CHECK_EQ(shown.ipGateway, formatIpv4(*tryParseIpv4(typed.ipGateway)), "gateway reads back");
  } else {
    // With DHCP the unit ignores them; a text that does not parse is stored as all ones.
    size_t offset = kIpAddressOffset;
    for (const std::string* text : {&typed.ipAddress, &typed.ipMask, &typed.ipGateway}) {
      const Ipv4Octets stored = tryParseIpv4(*text).value_or(kIpv4Failure);
      FUZZ_CHECK(std::equal(stored.begin(), stored.end(), area.begin() + offset), "an address under DHCP is stored");
      offset += kIpv4Size;
    }
  }
  FUZZ_CHECK_EQ(shown.serverAddress, typed.serverAddress, "server address reads back exactly");
  FUZZ_CHECK_EQ(shown.apnName, typed.apnName, "access point name reads back exactly");
  FUZZ_CHECK_EQ(shown.apnLogin, typed.apnLogin, "login reads back exactly");
  FUZZ_CHECK_EQ(shown.apnPassword, typed.apnPassword, "password reads back exactly");
  for (size_t i = 0; i < kSettingsAreaSize; ++i) {
    const bool edited = (i >= kIpAddressOffset && i < kIpPortOffset + kPortSize) ||
                        (i >= kServerPortOffset && i <= kDhcpOffset) ||
                        (i >= kServerAddressOffset && i < kRecordSize);
    if (!edited) FUZZ_CHECK(area[i] == read[i], "a byte the tool does not edit is kept");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SettingsArea read{};
  std::memcpy(read.data(), data, std::min(size, read.size()));
  checkReadBack(read);
  if (size > read.size()) {
    FuzzedDataProvider rest(data + read.size(), size - read.size());
    checkTyped(read, rest);
  }
  return 0;
}
