#pragma once
#include <span>
#include <string>
#include <vector>

namespace netsetup {

namespace ids {

// The window's controls, each named as the control is. The numbers double as the Win32 dialog
// IDs (GetDlgItem); 1 and 2 are left out, as the dialog manager sends them for Enter and Esc.
enum ControlId : int {
  MainFrm = 0,  // the window itself: the parent of the group boxes and the buttons
  GroupBox1 = 100, RBSerial, RBIP, CBBaud, CBPort, EIP, EPort, ed_net_addr, Label1, Label12,
  GroupBox2 = 200, ip_ivb, cb_DHCP, ip_mask, ip_gate, ip_port, Label2, Label3, Label4, Label5,
  GroupBox3 = 300, srv_addr, srv_port, Label6, Label7,
  GroupBox4 = 400, apn_name, apn_login, apn_pass, cb_AuthType, Label8, Label9, Label10, Label11,
  btn_read = 500, btn_write,
};

}  // namespace ids

using ids::ControlId;

// The window: its object name and caption (UTF-8), its client area and the place it is designed
// to open at, and its font's pixel height, all at 96 dpi.
struct WindowInfo {
  const char* name;
  const char* caption;
  int left, top, width, height;
  int fontHeight;
};

inline constexpr WindowInfo kMainFrm{"MainFrm", "Настройка сети VRN-207K", 637, 223, 700, 502, 11};

enum class ControlKind { Group, Radio, Check, Button, Edit, List, EditableList, Label };

// What a list holds, from the one place each is kept.
enum class ListItems { None, BaudRates, Ports, AuthTypes };

// One control as the window is created with it.
struct ControlInfo {
  ControlId id;
  const char* name;  // the object name
  ControlKind kind;
  ControlId parent;
  const char* caption;  // UTF-8: a caption, a label's text or an edit's first text
  int left, top, width, height;  // 96-dpi pixels from the parent's corner; a label's size is 0: it fits its text
  bool enabled = true;
  bool checked = false;
  ListItems items = ListItems::None;
  int selection = -1;  // -1 for none

  bool focusable() const { return kind != ControlKind::Group && kind != ControlKind::Label; }
};

// Every control, parents before their children, in tab order within each parent.
std::span<const ControlInfo> windowControls();

// The row of `id`, which every ControlId but MainFrm has.
const ControlInfo& controlInfo(ControlId id);

// What a screen reader calls an edit or a list: the text of its label, or, where it has no label
// of its own or shares its label's words with another field, a name that says what it holds.
struct AccessibleName {
  ControlId control;
  ControlId label;   // MainFrm where none
  const char* name;  // UTF-8; nullptr: the label's caption
};

// Every edit and list, in table order.
std::span<const AccessibleName> accessibleNames();

// The name `id` is given, empty for a control not among accessibleNames().
std::string accessibleName(ControlId id);

// A list's entries: the baud rates, "COM1".."COM16", the authentication types.
std::vector<std::string> listItems(ListItems items);

}  // namespace netsetup
