#include "link/LinkTexts.h"

#include <algorithm>

namespace netsetup {

namespace {

using T = LinkText;

constexpr LinkTextRow kRows[] = {
    {T::NoPortChosen, "No serial port is chosen.", "Последовательный порт не выбран."},
    {T::PortMissing, "{1} does not exist on this computer.", "Порта {1} на этом компьютере нет."},
    {T::NoComPortAtAll, " There is no COM port at all: plug the adapter in and try again.",
     " COM-портов нет совсем: подключите адаптер и попробуйте снова."},
    {T::ComPortsPresent, " COM ports present now:", " Сейчас есть COM-порты:"},
    {T::PortHeld, "{1} is in use by another program ({2}). Close it and try again.",
     "{1} занят другой программой ({2}). Закройте её и попробуйте снова."},
    {T::DeviceHeld, "{1} is in use by another program", "{1} занят другой программой"},
    {T::CloseAndRetry, ". Close it and try again.", ". Закройте её и попробуйте снова."},
    {T::LineSettingsRefused, "{1} did not accept the line settings ({2}): it may not be a serial port.",
     "{1} не принял параметры линии ({2}): возможно, это не последовательный порт."},
    {T::NotASerialPort, "{1} is not a serial port ({2}).", "{1} не является последовательным портом ({2})."},
    {T::CannotOpen, "Cannot open {1}: {2}.", "Не удалось открыть {1}: {2}."},
    {T::DeviceMissing, "The serial device {1} does not exist ({2}).\n", "Последовательного устройства {1} нет ({2}).\n"},
    {T::NoDevicePresent,
     "No serial device is present (no USB serial adapter is plugged in, and no built-in serial port answers): plug "
     "the adapter in and try again.",
     "Нет ни одного последовательного устройства (USB-адаптер не подключён, встроенные порты не отвечают): "
     "подключите адаптер и попробуйте снова."},
    {T::DevicesPresent, "Serial devices present now:\n", "Сейчас есть последовательные устройства:\n"},
    {T::ChooseOrMap,
     "Choose the port that opens one of them, or map a port to one in the settings file's [Ports] section, e.g. "
     "COM1={1}.",
     "Выберите порт, который открывает одно из них, или назначьте порту устройство в разделе [Ports] файла "
     "настроек, например COM1={1}."},
    {T::MayNotOpen, "This user ({1}) may not open {2}.", "Пользователю {1} не разрешено открывать {2}."},
    {T::GroupJoinedLater,
     " It belongs to the group '{1}', which this user was added to after logging in: log out and in again.",
     " Устройство принадлежит группе «{1}», в которую пользователя добавили после входа в систему: выйдите из "
     "системы и войдите снова."},
    {T::GroupToJoin,
     " It belongs to the group '{1}'. Give the user that group with\n  sudo usermod -aG {1} {2}\nthen log out and in "
     "again.",
     " Устройство принадлежит группе «{1}». Добавьте пользователя в эту группу командой\n  sudo usermod -aG {1} "
     "{2}\nи войдите в систему заново."},
    {T::OwnerForbids, " Its owner or permissions do not allow it (owner {1}, group {2}).",
     " Этого не позволяют владелец или права доступа устройства (владелец {1}, группа {2})."},
    {T::NoTcpHost, "No TCP host is set: it must be a dotted IPv4 address such as 192.168.0.10.",
     "TCP-адрес не задан: нужен IPv4-адрес вида 192.168.0.10."},
    {T::TcpHostNotDotted, "The TCP host '{1}' is not a dotted IPv4 address.",
     "TCP-адрес «{1}» не является IPv4-адресом вида 192.168.0.10."},
    {T::SocketLibrary, "The Windows socket library could not be started.",
     "Не удалось запустить библиотеку сокетов Windows."},
    {T::TcpTimedOut, "No answer from {1} in time: the host is down, or a firewall drops the connection.",
     "{1} не ответил вовремя: узел выключен, или брандмауэр отбрасывает соединение."},
    {T::TcpRefused,
     "The connection to {1} was refused: nothing accepts connections on that port there. Check the address and "
     "port, and that the converter is switched on.",
     "{1} отклонил соединение: на этом порту там никто не принимает соединений. Проверьте адрес и порт и что "
     "преобразователь включён."},
    {T::TcpUnreachable, "{1} cannot be reached from this computer ({2}): check the network cable and the address.",
     "{1} недоступен с этого компьютера ({2}): проверьте сетевой кабель и адрес."},
    {T::TcpOther, "Cannot connect to {1}: {2}.", "Не удалось подключиться к {1}: {2}."},
    {T::Present, "{1}: present", "{1}: подключён"},
    {T::NotPresent, "{1}: not present", "{1}: не подключён"},
    {T::LatencyTimer, "latency timer {1} ms", "таймер задержки {1} мс"},
    {T::LatencyAdvice, ": lower it to 1-2 ms in Device Manager > Port Settings > Advanced for faster reads",
     ": для быстрого чтения уменьшите его до 1-2 мс (Диспетчер устройств > Параметры порта > Дополнительно)"},
};

}  // namespace

std::span<const LinkTextRow> linkTextRows() { return kRows; }

std::string linkText(Language language, LinkText text, std::initializer_list<std::string_view> values) {
  const auto row = std::find_if(std::begin(kRows), std::end(kRows), [text](const LinkTextRow& r) { return r.text == text; });
  const std::string_view pattern = row == std::end(kRows) ? "" : language == Language::Russian ? row->russian : row->english;
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const size_t n = i + 2 < pattern.size() && pattern[i] == '{' && pattern[i + 2] == '}' ? size_t(pattern[i + 1] - '0') : 0;
    if (n >= 1 && n <= values.size()) {
      out += *(values.begin() + (n - 1));
      i += 2;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace netsetup
