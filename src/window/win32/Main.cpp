#include "window/win32/Main.h"

#include <commctrl.h>

#include "window/win32/PortList.h"
#include "text/Wide.h"

namespace netsetup {

namespace {

// A fixed-size frame with a caption, a system menu and a close box; no minimise or maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
// The program's icon among its resources (packaging/win32/program.rc.in).
constexpr int kIconId = 1;

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

}  // namespace

// The settings file's [Ports] section names Linux devices; here COMn always opens COMn.
TMainFrm::TMainFrm(Tmod07& link, std::wstring title, SettingsLocation settings)
    : title_(std::move(title)), controller_(link, *this, *this, std::move(settings), SerialDevices::System) {}

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
  windowClass.lpszClassName = kWindowClass;
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  scale_ = screenScale();
  RECT frame{0, 0, scale_(kMainFrm.width), scale_(kMainFrm.height)};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int left = scale_(kMainFrm.left), top = scale_(kMainFrm.top);
  const POINT at = placeOnMonitor({left, top, left + width, top + height});
  if (!::CreateWindowExW(kExStyle, kWindowClass, toWide(kMainFrm.caption).c_str(), kStyle, at.x, at.y, width,
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
      if (HMENU menu = ::GetSystemMenu(window_, FALSE)) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, kAboutCommand, kAboutItem);
      }
      controller_.FormCreate();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == kAboutCommand) {
        ::MessageBoxW(window_, toWide(controller_.about(NETSETUP_VERSION)).c_str(), title_.c_str(),
                      MB_OK | MB_ICONINFORMATION);
        return 0;
      }
      break;
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
      if (controller_.FormClose()) ::DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
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
      controller_.cb_DHCPClick();
      break;
    case ids::btn_read:
      controller_.btn_readClick();
      break;
    case ids::btn_write:
      controller_.btn_writeClick();
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

std::string TMainFrm::text(ControlId id) const {
  HWND control = item(id);
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return toUtf8(text);
}

void TMainFrm::setText(ControlId id, const std::string& utf8) { ::SetWindowTextW(item(id), toWide(utf8).c_str()); }

bool TMainFrm::checked(ControlId id) const { return ::SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TMainFrm::setChecked(ControlId id, bool checked) {
  ::SendMessageW(item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  keepRadioTabStop();
}

void TMainFrm::setEnabled(ControlId id, bool enabled) {
  ::EnableWindow(item(id), enabled);
  keepRadioTabStop();
}

// BM_SETCHECK gives a checked radio button the group's tab stop and takes it from the others.
// With TCP chosen in the settings file the checked TCP/IP button is disabled, and Tab would never
// reach the group: the first enabled button takes the stop then.
void TMainFrm::keepRadioTabStop() {
  const ControlId group[] = {ids::RBSerial, ids::RBIP};
  HWND stop = nullptr;
  for (ControlId id : group) {
    if (!stop && ::IsWindowEnabled(item(id)) && checked(id)) stop = item(id);
  }
  for (ControlId id : group) {
    if (!stop && ::IsWindowEnabled(item(id))) stop = item(id);
  }
  for (ControlId id : group) {
    const LONG style = ::GetWindowLongW(item(id), GWL_STYLE);
    ::SetWindowLongW(item(id), GWL_STYLE, item(id) == stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

int TMainFrm::selection(ControlId id) const {
  const LRESULT index = ::SendMessageW(item(id), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TMainFrm::select(ControlId id, int index) { ::SendMessageW(item(id), CB_SETCURSEL, index, 0); }

// The window blocks while an action talks to the instrument; the cursor says so. No message is
// handled meanwhile, so nothing sets it back before the action ends.
void TMainFrm::setBusy(bool busy) {
  if (busy) {
    cursor_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  } else {
    ::SetCursor(cursor_);
  }
}

// A close sent as a message (WM_CLOSE, the system menu's Close) is dispatched and reaches the
// controller; Alt+F4 and the close box are found among the dropped input.
bool TMainFrm::takeInWaitingInput() {
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

void TMainFrm::showMessage(const std::string& text, const std::string& details) {
  // A message box has no details part: what the system said follows the message.
  const std::string shown = details.empty() ? text : text + "\n\n" + details;
  ::MessageBoxW(window_, toWide(shown).c_str(), title_.c_str(), MB_OK);
}

void TMainFrm::showError(const std::string& text) {
  ::MessageBoxW(window_, toWide(errorBoxText(text)).c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace netsetup
