#pragma once

// The window's class and its controls' dialog IDs (GetDlgItem), each named as the control is.
// IDs 1 and 2 are left out: the dialog manager sends them for Enter and Esc.
namespace netsetup::ids {

inline constexpr wchar_t kWindowClass[] = L"TMainFrm";

inline constexpr int GroupBox1 = 100, RBSerial = 101, RBIP = 102, CBBaud = 103, CBPort = 104, EIP = 105,
                     EPort = 106, ed_net_addr = 107, Label1 = 108, Label12 = 109;
inline constexpr int GroupBox2 = 200, ip_ivb = 201, cb_DHCP = 202, ip_mask = 203, ip_gate = 204, ip_port = 205,
                     Label2 = 206, Label3 = 207, Label4 = 208, Label5 = 209;
inline constexpr int GroupBox3 = 300, srv_addr = 301, srv_port = 302, Label6 = 303, Label7 = 304;
inline constexpr int GroupBox4 = 400, apn_name = 401, apn_login = 402, apn_pass = 403, cb_AuthType = 404,
                     Label8 = 405, Label9 = 406, Label10 = 407, Label11 = 408;
inline constexpr int btn_read = 500, btn_write = 501;

}  // namespace netsetup::ids
