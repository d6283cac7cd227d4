// The window's pure parts, in this process.
#include <gtest/gtest.h>

#include "window/win32/MessageText.h"
#include "window/win32/PortList.h"

namespace netsetup {
namespace {

TEST(WindowText, ApplicationTitle) {
  const std::pair<const wchar_t*, const wchar_t*> titles[] = {
      {L"C:\\Tools\\netsetup.exe", L"netsetup"}, {L"C:\\Tools\\NETSETUP.v2.EXE", L"Netsetup"},
      {L"C:/x/NetSetup", L"Netsetup"},           {L"C:\\x\\.hidden", L""},
      {L"C:\\x\\НАСТРОЙКА.exe", L"Настройка"},
  };
  for (auto [path, title] : titles) EXPECT_EQ(applicationTitle(path), title);
}

TEST(WindowText, PortListTipNamesThePortsThatExist) {
  // Friendly names lose the port's name they end in.
  EXPECT_EQ(portListTip({{2, L"Communications Port (COM2)", {}}, {5, L"", {}}, {12, L"USB Serial", {}}}),
            L"COM-порты этого компьютера:\nCOM2 \u2014 Communications Port\nCOM5\nCOM12 \u2014 USB Serial");
  // An adapter's latency timer follows its name, with advice only when it slows reads.
  EXPECT_EQ(portListTip({{3, L"USB Serial Port (COM3)", 16}, {4, L"", 2}}),
            L"COM-порты этого компьютера:\nCOM3 \u2014 USB Serial Port, таймер задержки 16 мс: для быстрого чтения "
            L"уменьшите его до 1-2 мс (Диспетчер устройств > Параметры порта > Дополнительно)\nCOM4 \u2014 таймер "
            L"задержки 2 мс");
  // The wine prefix maps COM5 to the simulator's pseudo-terminal.
  bool com5 = false;
  for (const PresentPort& port : presentSerialPorts()) com5 = com5 || port.number == 5;
  EXPECT_TRUE(com5);
}

}  // namespace
}  // namespace netsetup
