#include "window/qt/QtMessages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace netsetup {

QString applicationTitle(const QString& executablePath) {
  QString name = QFileInfo(executablePath).fileName();
  name = name.left(name.indexOf('.') < 0 ? name.size() : name.indexOf('.'));
  return name.left(1) + name.mid(1).toLower();
}

QtMessages::QtMessages() : title_(applicationTitle(QCoreApplication::applicationFilePath())) {}

namespace {

void centreOnScreen(QMessageBox& box) {
  box.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = box.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    box.move(frame.topLeft());
  }
}

void run(QMessageBox& box) {
  box.setObjectName("messageBox");
  box.setStandardButtons(QMessageBox::Ok);
  box.setModal(true);
  centreOnScreen(box);
  box.exec();
}

}  // namespace

void QtMessages::showMessage(const std::string& text, const std::string& details) {
  QMessageBox box(QMessageBox::NoIcon, title_, QString::fromStdString(text));
  if (!details.empty()) box.setDetailedText(QString::fromStdString(details));
  run(box);
}

void QtMessages::showError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, title_, QString::fromStdString(errorBoxText(text)));
  run(box);
}

}  // namespace netsetup
