#include "actions/Actions.h"

#include "actions/Steps.h"

#include <optional>

#include "link/Umod07.h"
#include "netblock/NetworkCodec.h"
#include "netblock/SettingsTransfer.h"
#include "text/IntegerText.h"

namespace netsetup {

namespace {

ActionOutcome message(std::string text) { return {ActionOutcome::Kind::Message, std::move(text), {}, {}}; }
ActionOutcome error(std::string text) { return {ActionOutcome::Kind::Error, std::move(text), {}, {}}; }


// Open, identify, and read the area: what both actions start with.
Step<> prefix(Tmod07& link, const LinkChoice& choice, const std::string& addressText, uint8_t& address,
              SettingsArea& area) {
  std::string type;
  if (Step<> opened = openLink(link, choice); !opened) return opened;
  if (Step<> identified = identify(link, type); !identified) return identified;
  const Step<uint8_t> parsed = networkAddress(addressText);
  if (!parsed) return parsed.failure();
  address = *parsed;
  const TransferResult read = ReadSettingsArea(link, address, area);
  if (!read) return message(readFailureMessage(read.failure()));
  return {};
}

}  // namespace

Step<> openLink(Tmod07& link, const LinkChoice& choice) {
  bool opened = false;
  if (!choice.useTcp) {
    link.SetUseTcp(false);
    const int port = choice.portIndex + 1;  // no selection gives port 0, which does not open
    opened = link.Open(static_cast<uint8_t>(port), baudRateAt(choice.baudIndex));
  } else {
    link.SetUseTcp(true);
    link.SetHost(choice.host);
    // A text that is not an integer means the usual port; a number must be a port number.
    int32_t tcpPort = kDefaultTcpPort;
    if (const std::optional<int32_t> typed = parseInteger(choice.tcpPortText)) {
      if (*typed < 0 || *typed > kMaxTcpPort)
        return error(outsideRangeText("The TCP port", choice.tcpPortText, 0, kMaxTcpPort));
      tcpPort = *typed;
    }
    link.SetTcpPort(static_cast<uint16_t>(tcpPort));
    opened = link.Open(0, 0);
  }
  if (!opened) {
    ActionOutcome failed = message("Ошибка соединения (1)");
    failed.details = link.openFailureDetail(Language::Russian);
    return failed;
  }
  return {};
}

Step<> identify(Tmod07& link, std::string& type) {
  type = link.ReadDeviceType(0);
  if (link.Status != StatusOk) return message("Ошибка определения типа устройства (1)");
  if (type != kExpectedDeviceType) return message("Ошибка определения типа устройства (2)");
  return {};
}

Step<uint8_t> networkAddress(const std::string& text) {
  const Result<int32_t> parsed = integerUpTo("The network address", text, kMaxNetworkAddress);
  if (!parsed) return error(parsed.failure().message);
  return static_cast<uint8_t>(*parsed);
}

std::string readFailureMessage(const TransferFailure& failure) {
  return "Ошибка чтения настроек: блок " + std::to_string(failure.failedChunk + 1) + " из " +
         std::to_string(kChunkCount) + " не прочитан (код " + std::to_string(failure.status) + ")";
}

// The tool knows only which chunks the instrument confirmed: the failed one was sent but may or
// may not be stored, and the ones after it never left.
std::string writeFailureMessage(const TransferFailure& failure) {
  static constexpr ChunkWords kRussian{"блок", "блоки", "из", "отправлен, но не подтверждён", "записан и подтверждён",
                                       "записаны и подтверждены", "не отправлен", "не отправлены"};
  return "Ошибка записи настроек: " + writtenChunksText(failure, kRussian, "код " + std::to_string(failure.status));
}

ActionOutcome readAction(Tmod07& link, const LinkChoice& choice, const std::string& networkAddressText) {
  CloseOnExit closer(link);
  uint8_t address = 0;
  SettingsArea area{};
  if (const Step<> read = prefix(link, choice, networkAddressText, address, area); !read) return read.failure();
  link.Close();
  ActionOutcome done;
  done.fields = decodeNetworkSettings(area);
  return done;
}

ActionOutcome writeAction(Tmod07& link, const LinkChoice& choice, const std::string& networkAddressText,
                          const NetworkFields& fields) {
  CloseOnExit closer(link);
  uint8_t address = 0;
  SettingsArea area{};
  if (const Step<> read = prefix(link, choice, networkAddressText, address, area); !read) return read.failure();
  const Result<void, EncodeError> encoded = encodeNetworkSettings(fields, area);
  if (!encoded) return error(encoded.failure().message());
  const TransferResult written = WriteSettingsArea(link, address, area);
  if (!written) return message(writeFailureMessage(written.failure()));
  return {};
}

}  // namespace netsetup
