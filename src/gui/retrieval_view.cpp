#include "gui/retrieval_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {
namespace {

constexpr const char* kRetrievalTitle = "KTS Logger - Retrieve data";
// Held down while the screen is in front, it offers "Retrieve 100%".
constexpr int kRetrieveAllKey = Qt::Key_A;

}  // namespace

RetrievalView::RetrievalView(Session& s, RetrievalFlowHooks hooks, QWidget* parent)
    : QDialog(parent), s_(s) {
  setObjectName("retrieval");
  setModal(false);
  setWindowTitle(DialogTitle(s, kRetrievalTitle));
  screen_.hooks = std::move(hooks);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto field = [&](const char* label) {
    auto* l = new QLabel(this);
    form->addRow(label, l);
    return l;
  };
  state_.addTo(form, this, "Memory used");
  startMode_ = field("Start mode");
  realTime_ = field("Real-time output");
  layout->addLayout(form);
  message_ = new QLabel(this);
  message_->setObjectName("messageLine");
  message_->setWordWrap(true);
  message_->setMinimumHeight(40);
  layout->addWidget(message_);
  auto* buttons = new QHBoxLayout;
  main_ = new QPushButton(this);
  all_ = new QPushButton("Retrieve 100%", this);
  cancel_ = new QPushButton("Cancel", this);
  buttons->addWidget(main_);
  buttons->addWidget(all_);
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  connect(main_, &QPushButton::clicked, this, [this] {
    retrieve(s_, screen_, false);
    refresh();
  });
  connect(all_, &QPushButton::clicked, this, [this] {
    retrieve(s_, screen_, true);
    refresh();
  });
  connect(cancel_, &QPushButton::clicked, this, &RetrievalView::reject);
}

bool RetrievalView::openScreen() {
  if (!openRetrievalScreen(s_, screen_)) return false;
  refresh();
  show();
  return true;
}

void RetrievalView::continueStep() {
  if (screen_.inProgress) continueRetrieval(s_, screen_);
  refresh();
}

void RetrievalView::stop() {
  cancelRetrieval(s_, screen_);
  refresh();
}

void RetrievalView::reject() {
  cancelRetrieval(s_, screen_);
  refresh();
  if (!screen_.open) {
    hide();
    emit ended();
  }
}

void RetrievalView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == kRetrieveAllKey && !event->isAutoRepeat()) {
    s_.app.retrieveAllKeyHeld = true;
    screen_.retrieveAllShown = true;
    refresh();
    return;
  }
  QDialog::keyPressEvent(event);
}

void RetrievalView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == kRetrieveAllKey && !event->isAutoRepeat()) {
    s_.app.retrieveAllKeyHeld = false;
    screen_.retrieveAllShown = false;
    refresh();
    return;
  }
  QDialog::keyReleaseEvent(event);
}

void RetrievalView::refresh() {
  const LoggerStateTexts& t = screen_.state;
  state_.show(t, screen_.memoryUsage);
  startMode_->setText(FromLatin1(screen_.startMode));
  realTime_->setText(FromLatin1(screen_.realTime));
  ShowMessageLine(message_, screen_.message);
  main_->setText(FromLatin1(screen_.mainButton));
  main_->setVisible(screen_.retrieveButtonShown);
  main_->setEnabled(!screen_.inProgress);
  all_->setVisible(screen_.retrieveAllShown && !screen_.inProgress);
  if (!screen_.open && isVisible()) {
    hide();
    emit ended();
  }
}

}  // namespace kts::gui
