#include "window/qt/QtPortList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>

#include "link/DeviceInfo.h"

namespace netsetup {

namespace {

void setTips(QComboBox& list, const std::function<std::string(int)>& deviceOf) {
  for (int i = 0; i < list.count(); ++i) {
    list.setItemData(i, QString::fromStdString(describeSerialDevice(deviceOf(i), Language::Russian)), Qt::ToolTipRole);
  }
}

// Refreshes the tips as the list's popup opens.
class TipRefresher final : public QObject {
 public:
  TipRefresher(QComboBox& list, std::function<std::string(int)> deviceOf)
      : QObject(&list), list_(list), deviceOf_(std::move(deviceOf)) {}

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) setTips(list_, deviceOf_);
    return false;
  }

 private:
  QComboBox& list_;
  std::function<std::string(int)> deviceOf_;
};

}  // namespace

void showDevicesInTips(QComboBox& list, std::function<std::string(int entry)> deviceOf) {
  setTips(list, deviceOf);
  list.view()->window()->installEventFilter(new TipRefresher(list, std::move(deviceOf)));
}

}  // namespace netsetup
