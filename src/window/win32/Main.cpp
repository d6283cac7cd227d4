#include "window/win32/Main.h"

#include <commctrl.h>

#include "actions/Actions.h"
#include "link/Umod07.h"
#include "netblock/AuthType.h"
#include "window/win32/ControlIds.h"
#include "window/win32/PortList.h"
#include "text/Wide.h"

namespace netsetup {

namespace {

// A fixed-size frame with a caption, a system menu and a close box; no minimise or maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
// The program's icon among its resources (packaging/win32/program.rc.in).
constexpr int kIconId = 1;

// The window blocks while an action talks to the instrument; the cursor says so. No message is
// handled meanwhile, so nothing sets it back before the action ends.
class BusyCursor {
 public:
  BusyCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~BusyCursor() { ::SetCursor(previous_); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  HCURSOR previous_;
};

bool isInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The two ways to close the window by hand, Alt+F4 and a click on the caption's close box, as
// input waiting in the queue. The system makes them a close only when they are handled, and input
// that waited through an action is dropped, so they are recognised here.
class CloseGestures {
 public:
  void see(const MSG& message) {
    const bool altDown = (message.lParam & (1 << 29)) != 0;
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 && altDown) key_ = true;
    // The close box acts on release, and only when the press was on it too.
    if (message.message == WM_NCLBUTTONDOWN) pressedOnBox_ = message.wParam == HTCLOSE;
    if (message.message == WM_NCLBUTTONUP) {
      clicked_ = clicked_ || (pressedOnBox_ && message.wParam == HTCLOSE);
      pressedOnBox_ = false;
    }
  }
  // A press on the close box whose release has not come yet counts: the user is closing.
  bool closeAsked() const { return key_ || clicked_ || pressedOnBox_; }

 private:
  bool key_ = false;
  bool pressedOnBox_ = false;
  bool clicked_ = false;
};

// A close the user asked for while the action ran is taken in before the message box opens:
// one sent as a message (WM_CLOSE, the system menu's Close) reaches closeRequested(), Alt+F4 and
// the close box are found among the input. Input that waited is dropped as the box would drop
// it: no second action starts before the message is read. Returns whether that input asked to
// close.
bool takeInWaitingMessages() {
  CloseGestures gestures;
  MSG message;
  for (int count = 0; count < 1000 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++count) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (isInput(message.message)) {
      gestures.see(message);
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return gestures.closeAsked();
}

}  // namespace

TMainFrm::TMainFrm(Tmod07& link, std::wstring title, SettingsLocation settings)
    : link_(link), title_(std::move(title)), settings_(std::move(settings)) {}

TMainFrm::~TMainFrm() {
  if (window_) ::DestroyWindow(window_);
  if (font_) ::DeleteObject(font_);
}

bool TMainFrm::create(HINSTANCE instance, int showCommand) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = ids::kWindowClass;
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  scale_ = screenScale();
  RECT frame{0, 0, scale_(kMainFrm.width), scale_(kMainFrm.height)};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int left = scale_(kMainFrm.left), top = scale_(kMainFrm.top);
  const POINT at = placeOnMonitor({left, top, left + width, top + height});
  if (!::CreateWindowExW(kExStyle, ids::kWindowClass, toWide(kMainFrm.caption).c_str(), kStyle, at.x, at.y, width,
                         height, nullptr, nullptr, instance, this)) {
    return false;
  }
  ::ShowWindow(window_, showCommand);
  ::UpdateWindow(window_);
  return true;
}

LRESULT CALLBACK TMainFrm::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* frame = static_cast<TMainFrm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    frame->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
  }
  auto* frame = reinterpret_cast<TMainFrm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!frame) return ::DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = frame->handleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    frame->window_ = nullptr;
  }
  return result;
}

LRESULT TMainFrm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      font_ = createWindowFont(scale_);
      createControls(window_, font_, scale_);
      addPortListTip(window_, item(ids::CBPort), scale_(400));
      FormCreate();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == TTN_GETDISPINFOW && header->idFrom == reinterpret_cast<UINT_PTR>(item(ids::CBPort))) {
        tipText_ = portListTip(presentSerialPorts());
        reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = tipText_.data();
        return 0;
      }
      break;
    }
    case WM_ACTIVATE:
      // As a dialog does: the focus leaves with the window and comes back to the same control.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(window_, focus)) focus_ = focus;
      } else {
        if (!focus_ || !::IsWindow(focus_)) focus_ = ::GetNextDlgTabItem(window_, nullptr, FALSE);
        ::SetFocus(focus_);
      }
      return 0;
    case WM_CLOSE:
      closeRequested();
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

void TMainFrm::showMessage(const std::string& text, const std::string& details) {
  // A message box has no details part: what the system said follows the message.
  const std::string shown = details.empty() ? text : text + "\n\n" + details;
  ::MessageBoxW(window_, toWide(shown).c_str(), title_.c_str(), MB_OK);
}

void TMainFrm::showError(const std::string& text) {
  ::MessageBoxW(window_, toWide(errorBoxText(text)).c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

void TMainFrm::onCommand(int id, int code) {
  // IDOK and IDCANCEL (Enter in an edit, Esc) have no control and do nothing.
  if (code != BN_CLICKED) return;
  switch (id) {
    case ids::RBSerial:
    case ids::RBIP:
      // The automatic uncheck passes over disabled buttons, and RBIP is always disabled.
      ::SendMessageW(item(id == ids::RBSerial ? ids::RBIP : ids::RBSerial), BM_SETCHECK, BST_UNCHECKED, 0);
      break;
    case ids::cb_DHCP:
      cb_DHCPClick();
      break;
    case ids::btn_read:
      btn_readClick();
      break;
    case ids::btn_write:
      btn_writeClick();
      break;
    default:
      break;
  }
}

bool TMainFrm::takeEnterOnButton(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || ::GetParent(message.hwnd) != window_) return false;
  const int id = ::GetDlgCtrlID(message.hwnd);
  if (id != ids::btn_read && id != ids::btn_write) return false;
  const bool repeated = (message.lParam & (1 << 30)) != 0;
  if (!repeated) onCommand(id, BN_CLICKED);  // a held key is one click, not a queue of actions
  return true;
}

void TMainFrm::cb_DHCPClick() {
  const BOOL manual = !checked(ids::cb_DHCP);
  for (int id : {ids::ip_ivb, ids::ip_mask, ids::ip_gate}) ::EnableWindow(item(id), manual);
}

void TMainFrm::FormCreate() {
  const LinkSettings s = settings_.load();
  select(ids::CBPort, s.port);
  select(ids::CBBaud, s.baud);
  ::SendMessageW(item(ids::RBIP), BM_SETCHECK, s.useIp ? BST_CHECKED : BST_UNCHECKED, 0);
  ::SendMessageW(item(ids::RBSerial), BM_SETCHECK, s.useIp ? BST_UNCHECKED : BST_CHECKED, 0);
  setText(ids::EIP, s.sockIp);
  setText(ids::EPort, s.sockPort);
  // The file's [Ports] section names Linux devices; here COMn always opens COMn.
}

bool TMainFrm::FormClose() {
  LinkSettings s;
  s.port = selection(ids::CBPort);
  s.baud = selection(ids::CBBaud);
  s.useIp = checked(ids::RBIP);
  s.sockIp = text(ids::EIP);
  s.sockPort = text(ids::EPort);
  if (auto error = settings_.save(s)) {
    saving_ = true;  // a close asked for while the box is up is not a second close
    showError(*error);
    saving_ = false;
    return false;
  }
  return true;
}

void TMainFrm::closeRequested() {
  // A close asked for while an action talks to the instrument is carried out once it has ended.
  if (actionRunning_) {
    closePending_ = true;
    return;
  }
  if (saving_) return;
  // After one failed save a further close ends the run without saving, so a folder that cannot
  // be written does not trap the user in the window.
  if (saveFailed_ || FormClose()) {
    ::DestroyWindow(window_);
    return;
  }
  saveFailed_ = true;
}

LinkChoice TMainFrm::linkChoice() const {
  LinkChoice choice;
  choice.useTcp = !checked(ids::RBSerial);
  choice.portIndex = selection(ids::CBPort);
  choice.baudIndex = selection(ids::CBBaud);
  choice.host = text(ids::EIP);
  choice.tcpPortText = text(ids::EPort);
  return choice;
}

void TMainFrm::runAction(const std::function<ActionOutcome()>& action, bool showFields) {
  // A click that the message box's own loop dispatches waits for nothing: one action at a time.
  if (actionRunning_) return;
  actionRunning_ = true;
  ActionOutcome outcome;
  {
    BusyCursor busy;
    outcome = action();
  }
  if (outcome.kind == ActionOutcome::Kind::Done && showFields) DecodeSettings(outcome.fields);
  if (outcome.kind != ActionOutcome::Kind::Done) {
    if (takeInWaitingMessages()) closePending_ = true;
    if (outcome.kind == ActionOutcome::Kind::Message) showMessage(outcome.text, outcome.details);
    if (outcome.kind == ActionOutcome::Kind::Error) showError(outcome.text);
  }
  actionRunning_ = false;
  // Carried out from the message loop rather than from inside the button's click.
  if (closePending_) {
    closePending_ = false;
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
  }
}

void TMainFrm::btn_readClick() {
  runAction([this] { return readAction(link_, linkChoice(), text(ids::ed_net_addr)); }, true);
}

void TMainFrm::btn_writeClick() {
  runAction([this] { return writeAction(link_, linkChoice(), text(ids::ed_net_addr), EncodeSettings()); }, false);
}

void TMainFrm::DecodeSettings(const NetworkFields& fields) {
  for (int id : {ids::ip_ivb, ids::ip_mask, ids::ip_gate}) setText(id, "");
  ::SendMessageW(item(ids::cb_DHCP), BM_SETCHECK, fields.dhcp ? BST_CHECKED : BST_UNCHECKED, 0);
  cb_DHCPClick();
  if (!fields.dhcp) {
    setText(ids::ip_ivb, fields.ipAddress);
    setText(ids::ip_mask, fields.ipMask);
    setText(ids::ip_gate, fields.ipGateway);
  }
  setText(ids::ip_port, fields.ipPort);
  setText(ids::srv_port, fields.serverPort);
  setText(ids::srv_addr, fields.serverAddress);
  setText(ids::apn_name, fields.apnName);
  setText(ids::apn_login, fields.apnLogin);
  setText(ids::apn_pass, fields.apnPassword);
  select(ids::cb_AuthType, fields.authIndex);
}

NetworkFields TMainFrm::EncodeSettings() const {
  NetworkFields fields;
  fields.dhcp = checked(ids::cb_DHCP);
  fields.ipAddress = text(ids::ip_ivb);
  fields.ipMask = text(ids::ip_mask);
  fields.ipGateway = text(ids::ip_gate);
  fields.ipPort = text(ids::ip_port);
  fields.serverPort = text(ids::srv_port);
  fields.serverAddress = text(ids::srv_addr);
  fields.apnName = text(ids::apn_name);
  fields.apnLogin = text(ids::apn_login);
  fields.apnPassword = text(ids::apn_pass);
  // What the list shows is what is stored: typed text counts only when it names an entry.
  fields.authIndex = authIndexForText(text(ids::cb_AuthType));
  return fields;
}

std::string TMainFrm::text(int id) const {
  HWND control = item(id);
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return toUtf8(text);
}

void TMainFrm::setText(int id, const std::string& utf8) { ::SetWindowTextW(item(id), toWide(utf8).c_str()); }

bool TMainFrm::checked(int id) const { return ::SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

int TMainFrm::selection(int id) const {
  const LRESULT index = ::SendMessageW(item(id), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

// An index outside the list leaves no selection.
void TMainFrm::select(int id, int index) {
  const LRESULT count = ::SendMessageW(item(id), CB_GETCOUNT, 0, 0);
  ::SendMessageW(item(id), CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

}  // namespace netsetup
