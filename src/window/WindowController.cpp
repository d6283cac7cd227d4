#include "window/WindowController.h"

#include <algorithm>
#include <utility>

#include "actions/Actions.h"
#include "link/Umod07.h"
#include "netblock/AuthType.h"
#include "netblock/FieldInfo.h"
#include "window/Messages.h"
#include "window/StartOptions.h"
#include "window/WindowView.h"

namespace netsetup {

namespace {

// The edits that show the record's texts.
constexpr std::pair<ControlId, SettingsField> kTextFields[] = {
    {ids::ip_ivb, SettingsField::IpAddress},     {ids::ip_mask, SettingsField::IpMask},
    {ids::ip_gate, SettingsField::IpGateway},    {ids::ip_port, SettingsField::IpPort},
    {ids::srv_port, SettingsField::ServerPort},  {ids::srv_addr, SettingsField::ServerAddress},
    {ids::apn_name, SettingsField::ApnName},     {ids::apn_login, SettingsField::ApnLogin},
    {ids::apn_pass, SettingsField::ApnPassword},
};

bool isAddress(SettingsField field) { return fieldInfo(field).kind == FieldKind::Address; }

}  // namespace

WindowController::WindowController(Tmod07& link, WindowView& view, Messages& messages, SettingsLocation settings,
                                   SerialDevices devices)
    : link_(link), view_(view), messages_(messages), settings_(std::move(settings)), devices_(devices) {}

void WindowController::FormCreate() {
  const LinkSettings s = settings_.load();
  selectIn(ids::CBPort, s.port);
  selectIn(ids::CBBaud, s.baud);
  view_.setChecked(s.useIp ? ids::RBIP : ids::RBSerial, true);
  view_.setChecked(s.useIp ? ids::RBSerial : ids::RBIP, false);
  view_.setText(ids::EIP, s.sockIp);
  view_.setText(ids::EPort, s.sockPort);
  if (devices_ == SerialDevices::FromSettingsFile) link_.portMap() = settings_.portMap();
}

bool WindowController::FormClose() {
  // A close asked for while an action talks to the instrument is carried out once it has ended.
  if (actionRunning_) {
    closePending_ = true;
    return false;
  }
  // A close asked for while the failed save's box is up is not a second close.
  if (showingSaveError_) return false;
  // After one failed save a further close ends the run without saving, so a folder that cannot
  // be written does not trap the user in the window.
  if (saveFailed_ || saveSettings()) return true;
  saveFailed_ = true;
  return false;
}

bool WindowController::saveSettings() {
  const LinkSettings s{view_.selection(ids::CBPort), view_.selection(ids::CBBaud), view_.checked(ids::RBIP),
                       view_.text(ids::EIP), view_.text(ids::EPort)};
  const Result<void> saved = settings_.save(s);
  if (saved) return true;
  showingSaveError_ = true;
  messages_.showError(saved.failure().text());
  showingSaveError_ = false;
  return false;
}

void WindowController::cb_DHCPClick() {
  const bool manual = !view_.checked(ids::cb_DHCP);
  for (const auto& [id, field] : kTextFields)
    if (isAddress(field)) view_.setEnabled(id, manual);
}

LinkChoice WindowController::linkChoice() const {
  return {!view_.checked(ids::RBSerial), view_.selection(ids::CBPort), view_.selection(ids::CBBaud),
          view_.text(ids::EIP), view_.text(ids::EPort)};
}

void WindowController::runAction(const std::function<ActionOutcome()>& action, bool showFields) {
  // A click that reaches the window meanwhile (a box's own message loop dispatches what it
  // finds) starts nothing.
  if (actionRunning_) return;
  actionRunning_ = true;
  view_.setBusy(true);
  const ActionOutcome outcome = action();
  view_.setBusy(false);
  if (outcome.kind == ActionOutcome::Kind::Done && showFields) DecodeSettings(outcome.fields);
  if (outcome.kind != ActionOutcome::Kind::Done) {
    if (view_.takeInWaitingInput()) closePending_ = true;
    if (outcome.kind == ActionOutcome::Kind::Message) messages_.showMessage(outcome.text, outcome.details);
    if (outcome.kind == ActionOutcome::Kind::Error) messages_.showError(outcome.text);
  }
  actionRunning_ = false;
  if (closePending_) {
    closePending_ = false;
    view_.requestClose();
  }
}

void WindowController::btn_readClick() {
  runAction([this] { return readAction(link_, linkChoice(), view_.text(ids::ed_net_addr)); }, true);
}

void WindowController::btn_writeClick() {
  runAction([this] { return writeAction(link_, linkChoice(), view_.text(ids::ed_net_addr), EncodeSettings()); },
            false);
}

void WindowController::DecodeSettings(const NetworkFields& fields) {
  // The rule runs on a change of the box, as when the user clicks it.
  if (view_.checked(ids::cb_DHCP) != fields.dhcp) {
    view_.setChecked(ids::cb_DHCP, fields.dhcp);
    cb_DHCPClick();
  }
  // With DHCP on, the address fields stay empty.
  for (const auto& [id, field] : kTextFields)
    view_.setText(id, fields.dhcp && isAddress(field) ? "" : fields.*fieldInfo(field).text);
  selectIn(ids::cb_AuthType, fields.authIndex);
}

NetworkFields WindowController::EncodeSettings() const {
  NetworkFields fields;
  fields.dhcp = view_.checked(ids::cb_DHCP);
  for (const auto& [id, field] : kTextFields) fields.*fieldInfo(field).text = view_.text(id);
  // What the list shows is what is stored: typed text counts only when it names an entry.
  fields.authIndex = authIndexForText(view_.text(ids::cb_AuthType));
  return fields;
}

std::string WindowController::about(std::string_view version) const {
  return aboutText(version, settings_.location().writePath, settings_.location().readPath);
}

std::string WindowController::portDevice(int entry) const {
  return link_.portMap().device(static_cast<unsigned>(entry + 1));
}

void WindowController::selectIn(ControlId list, int index) {
  const int count = static_cast<int>(listItems(controlInfo(list).items).size());
  view_.select(list, index >= 0 && index < count ? index : -1);
}

}  // namespace netsetup
