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

QString errorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
  return message;
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

void QtMessages::showMessage(const QString& text) { showMessage(text, {}); }

void QtMessages::showMessage(const QString& text, const QString& details) {
  QMessageBox box(QMessageBox::NoIcon, title_, text);
  if (!details.isEmpty()) box.setDetailedText(details);
  run(box);
}

void QtMessages::showError(const QString& text) {
  QMessageBox box(QMessageBox::Critical, title_, errorBoxText(text));
  run(box);
}

}  // namespace netsetup
