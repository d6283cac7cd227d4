#include "window/Controls.h"

#include <algorithm>

#include "actions/Actions.h"
#include "link/PortMap.h"
#include "link/TcpPort.h"
#include "netblock/AuthType.h"

namespace netsetup {

namespace {

using K = ControlKind;
using L = ListItems;
using namespace ids;

// RBIP, EIP and EPort start disabled and nothing enables them: TCP is chosen only through the
// settings file.
constexpr ControlInfo kControls[] = {
    {GroupBox1, "GroupBox1", K::Group, MainFrm, "Настройки канала связи с прибором", 8, 10, 689, 87},
    {RBSerial, "RBSerial", K::Radio, GroupBox1, "Serial Port", 8, 24, 73, 17, true, true},
    {RBIP, "RBIP", K::Radio, GroupBox1, "TCP/IP", 248, 24, 73, 17, false},
    {CBBaud, "CBBaud", K::List, GroupBox1, "", 96, 51, 81, 21, true, false, L::BaudRates},
    {CBPort, "CBPort", K::List, GroupBox1, "", 8, 51, 81, 21, true, false, L::Ports, 0},
    {EIP, "EIP", K::Edit, GroupBox1, "", 248, 49, 105, 21, false},
    {EPort, "EPort", K::Edit, GroupBox1, kDefaultTcpPortText.data(), 368, 49, 49, 21, false},
    {ed_net_addr, "ed_net_addr", K::Edit, GroupBox1, "1", 546, 48, 75, 21},
    {Label1, "Label1", K::Label, GroupBox1, ":", 418, 52, 0, 0},
    {Label12, "Label12", K::Label, GroupBox1, "Сетевой адрес", 544, 24, 0, 0},

    {GroupBox2, "GroupBox2", K::Group, MainFrm, "Подключение к ИВБ по Ethernet", 8, 111, 353, 202},
    {ip_ivb, "ip_ivb", K::Edit, GroupBox2, "", 16, 40, 121, 21},
    {cb_DHCP, "cb_DHCP", K::Check, GroupBox2, "использовать DHCP", 152, 42, 130, 17},
    {ip_mask, "ip_mask", K::Edit, GroupBox2, "", 15, 81, 121, 21},
    {ip_gate, "ip_gate", K::Edit, GroupBox2, "", 15, 123, 121, 21},
    {ip_port, "ip_port", K::Edit, GroupBox2, "", 16, 166, 121, 21},
    {Label2, "Label2", K::Label, GroupBox2, "IP адрес ИВБ", 16, 24, 0, 0},
    {Label3, "Label3", K::Label, GroupBox2, "маска подсети", 15, 65, 0, 0},
    {Label4, "Label4", K::Label, GroupBox2, "шлюз", 15, 107, 0, 0},
    {Label5, "Label5", K::Label, GroupBox2, "порт для подключения", 16, 150, 0, 0},

    {GroupBox3, "GroupBox3", K::Group, MainFrm, "Настройки сервера диспетчеризации", 376, 111, 321, 202},
    {srv_addr, "srv_addr", K::Edit, GroupBox3, "", 16, 40, 241, 21},
    {srv_port, "srv_port", K::Edit, GroupBox3, "", 16, 90, 121, 21},
    {Label6, "Label6", K::Label, GroupBox3, "Адрес сервера (DNS-имя)", 18, 24, 0, 0},
    {Label7, "Label7", K::Label, GroupBox3, "порт для подключения", 16, 74, 0, 0},

    {GroupBox4, "GroupBox4", K::Group, MainFrm, "Настройки для USB-модема", 8, 320, 689, 129},
    {apn_name, "apn_name", K::Edit, GroupBox4, "", 16, 40, 249, 21},
    {apn_login, "apn_login", K::Edit, GroupBox4, "", 375, 43, 121, 21},
    {apn_pass, "apn_pass", K::Edit, GroupBox4, "", 375, 88, 121, 21},
    {cb_AuthType, "cb_AuthType", K::EditableList, GroupBox4, "", 16, 91, 145, 21, true, false, L::AuthTypes},
    {Label8, "Label8", K::Label, GroupBox4, "АПН точки доступа оператора мобильной связи", 16, 24, 0, 0},
    {Label9, "Label9", K::Label, GroupBox4, "Логин", 375, 27, 0, 0},
    {Label10, "Label10", K::Label, GroupBox4, "Пароль", 375, 72, 0, 0},
    {Label11, "Label11", K::Label, GroupBox4, "Тип авторизации", 16, 74, 0, 0},

    {btn_read, "btn_read", K::Button, MainFrm, "Прочитать", 224, 464, 75, 25},
    {btn_write, "btn_write", K::Button, MainFrm, "Записать", 384, 464, 75, 25},
};

// The two ports share their labels' words, "порт для подключения"; the link's lists and edits
// have no label of their own.
constexpr AccessibleName kAccessibleNames[] = {
    {CBBaud, MainFrm, "Скорость обмена, бод"},
    {CBPort, MainFrm, "COM-порт"},
    {EIP, MainFrm, "IP-адрес для подключения по TCP/IP"},
    {EPort, MainFrm, "TCP-порт для подключения по TCP/IP"},
    {ed_net_addr, Label12, nullptr},
    {ip_ivb, Label2, nullptr},
    {ip_mask, Label3, nullptr},
    {ip_gate, Label4, nullptr},
    {ip_port, Label5, "порт для подключения к ИВБ"},
    {srv_addr, Label6, nullptr},
    {srv_port, Label7, "порт для подключения к серверу"},
    {apn_name, Label8, nullptr},
    {apn_login, Label9, nullptr},
    {apn_pass, Label10, nullptr},
    {cb_AuthType, Label11, nullptr},
};

}  // namespace

std::span<const ControlInfo> windowControls() { return kControls; }

std::span<const AccessibleName> accessibleNames() { return kAccessibleNames; }

std::string accessibleName(ControlId id) {
  for (const AccessibleName& row : kAccessibleNames) {
    if (row.control == id) return row.name ? row.name : controlInfo(row.label).caption;
  }
  return {};
}

const ControlInfo& controlInfo(ControlId id) {
  return *std::find_if(std::begin(kControls), std::end(kControls), [id](const ControlInfo& c) { return c.id == id; });
}

std::vector<std::string> listItems(ListItems items) {
  std::vector<std::string> entries;
  switch (items) {
    case ListItems::BaudRates:
      for (int32_t rate : BaudRates) entries.push_back(std::to_string(rate));
      break;
    case ListItems::Ports:
      for (unsigned n = 1; n <= PortMap::kPortCount; ++n) entries.push_back("COM" + std::to_string(n));
      break;
    case ListItems::AuthTypes:
      entries.assign(kAuthTypeCaptions.begin(), kAuthTypeCaptions.end());
      break;
    case ListItems::None:
      break;
  }
  return entries;
}

}  // namespace netsetup
