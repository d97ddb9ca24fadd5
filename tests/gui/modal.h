// Answers the next modal dialog from inside its own event loop.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>

namespace kts::test {

// Calls `act` with the next modal window once it is up.
inline void WhenModal(std::function<void(QWidget*)> act, int triesLeft = 200) {
  QTimer::singleShot(5, [act = std::move(act), triesLeft]() mutable {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w->isVisible()) {
      act(w);
    } else if (triesLeft > 0) {
      WhenModal(std::move(act), triesLeft - 1);
    }
  });
}

// Closes every modal window that comes up while *active holds (a save
// that asks for a file and a comment, say); stops polling once it is false.
inline void RejectModalsWhile(std::shared_ptr<bool> active) {
  QTimer::singleShot(5, [active] {
    if (!*active) return;
    if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible()) {
      if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
      else w->close();
    }
    RejectModalsWhile(active);
  });
}

// What a message box showed.
struct SeenBox {
  QString caption;
  QString text;
  bool seen = false;
};

// Records the next message box and presses one of its buttons.
inline std::shared_ptr<SeenBox> AnswerBox(QMessageBox::StandardButton button) {
  auto seen = std::make_shared<SeenBox>();
  WhenModal([seen, button](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return;
    seen->seen = true;
    seen->caption = box->windowTitle();
    seen->text = box->text();
    if (QAbstractButton* b = box->button(button)) b->click();
    else box->reject();
  });
  return seen;
}

}  // namespace kts::test
