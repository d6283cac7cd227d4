#include "window/qt/QtSingleLine.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

#include "text/SingleLine.h"

namespace netsetup {

namespace {

// Remembers the edit's text before each change, so an insertion can be told from what was there.
class SingleLineGuard final : public QObject {
 public:
  explicit SingleLineGuard(QLineEdit& edit) : QObject(&edit), edit_(edit), previous_(edit.text()) {
    // Qt emits textEdited only for the user's edits: texts set by the program are shown as given.
    connect(&edit, &QLineEdit::textEdited, this, [this] { cleanUserEdit(); });
    connect(&edit, &QLineEdit::textChanged, this, [this] { previous_ = edit_.text(); });
  }

 private:
  void cleanUserEdit() {
    const auto kept = keepSingleLine(previous_.toStdU16String(), edit_.text().toStdU16String(),
                                     static_cast<size_t>(edit_.cursorPosition()));
    if (kept) {
      edit_.setText(QString::fromStdU16String(kept->text));
      edit_.setCursorPosition(static_cast<int>(kept->cursor));
    }
    previous_ = edit_.text();
  }

  QLineEdit& edit_;
  QString previous_;
};

class EnterClicks final : public QObject {
 public:
  explicit EnterClicks(QPushButton& button) : QObject(&button), button_(button) {}

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (!key->isAutoRepeat()) button_.click();  // a held key is one click, not a queue of actions
    return true;
  }

 private:
  QPushButton& button_;
};

}  // namespace

void keepSingleLine(QLineEdit& edit) {
  edit.setMaxLength(std::numeric_limits<int>::max());
  new SingleLineGuard(edit);
}

void clickOnEnter(QPushButton& button) { button.installEventFilter(new EnterClicks(button)); }

}  // namespace netsetup
