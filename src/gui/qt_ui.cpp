#include "gui/qt_ui.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_helpers.h"

namespace kts::gui {
namespace {

QMessageBox::Icon ToQtIcon(Icon icon) {
  switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ToQtButton(Answer a) {
  switch (a) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

}  // namespace

void QtUi::attach(QWidget* window, StatusBarView* statusBar) {
  window_ = window;
  statusBar_ = statusBar;
}

void QtUi::setStatus(std::string_view text, bool warningIcon) {
  if (statusBar_) statusBar_->setMessage(FromLatin1(text), warningIcon);
}

void QtUi::setConnectionState(std::string_view text) {
  if (statusBar_) statusBar_->setConnection(FromLatin1(text));
}

void QtUi::setUnitsIcon(bool engineeringUnits) {
  if (statusBar_) statusBar_->setUnits(engineeringUnits);
}

void QtUi::setClock(std::string_view text) {
  if (statusBar_) statusBar_->setClock(FromLatin1(text));
}

Answer QtUi::message(const Message& m) {
  QMessageBox box(ToQtIcon(m.icon), FromLatin1(m.caption), FromLatin1(m.text),
                  QMessageBox::NoButton, window_);
  switch (m.buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  box.setDefaultButton(ToQtButton(m.defaultAnswer));
  switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: break;
  }
  // Closed with Escape or the title bar: never a Yes, and not a No either,
  // so a question that protects data is asked again rather than answered.
  return m.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

int QtUi::ask(const Question& q) {
  QMessageBox box(window_);
  box.setWindowTitle(FromLatin1(q.caption));
  box.setIcon(ToQtIcon(q.icon));
  if (!q.heading.empty()) {
    box.setText(FromLatin1(q.heading));
    box.setInformativeText(FromLatin1(q.text));
  } else {
    box.setText(FromLatin1(q.text));
  }
  std::vector<std::pair<QAbstractButton*, int>> buttons;
  for (const QuestionButton& b : q.buttons) {
    QPushButton* button = box.addButton(FromLatin1(b.text), QMessageBox::ActionRole);
    buttons.emplace_back(button, b.id);
    if (b.id == q.defaultId) box.setDefaultButton(button);
  }
  box.exec();
  for (const auto& [button, id] : buttons)
    if (box.clickedButton() == button) return id;
  return kQuestionClosed;
}

std::optional<std::string> QtUi::chooseFile(const FileRequest& r) {
  QString filter = FromLatin1(r.filter);
  if (!filter.contains('(') && !r.pattern.empty())
    filter += " (" + FromLatin1(r.pattern) + ")";
  QString start = FromLatin1(r.directory);
  if (start == "empty") start.clear();
  if (!r.defaultName.empty()) start = start.isEmpty() ? FromLatin1(r.defaultName)
                                                      : start + "/" + FromLatin1(r.defaultName);
  const QString chosen =
      r.save ? QFileDialog::getSaveFileName(window_, FromLatin1(r.title), start, filter)
             : QFileDialog::getOpenFileName(window_, FromLatin1(r.title), start, filter);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toLocal8Bit().toStdString();
}

std::optional<std::string> RunTextDialog(QWidget* parent, const TextRequest& r) {
  QDialog dialog(parent);
  dialog.setObjectName("commentDialog");
  dialog.setWindowTitle(FromLatin1(r.caption));
  auto* layout = new QVBoxLayout(&dialog);
  if (!r.prompt.empty()) layout->addWidget(new QLabel(FromLatin1(r.prompt), &dialog));
  auto* edit = new QLineEdit(FromLatin1(r.initial), &dialog);
  edit->setMaxLength(r.maxLength > 0 ? r.maxLength : 99);
  edit->setMinimumWidth(360);
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* accept = buttons->addButton(FromLatin1(r.acceptText), QDialogButtonBox::AcceptRole);
  buttons->addButton(FromLatin1(r.rejectText), QDialogButtonBox::RejectRole);
  accept->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ToLatin1(edit->text());
}

std::optional<std::string> QtUi::askText(const TextRequest& r) { return RunTextDialog(window_, r); }

void QtUi::progress(int percent, std::string_view text) {
  if (!statusBar_) return;
  if (!text.empty()) statusBar_->setMessage(FromLatin1(text), false);
  statusBar_->setProgress(percent);
  // Repaint between blocks; no user input runs inside an exchange.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::setBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

}  // namespace kts::gui
