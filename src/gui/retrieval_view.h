// The retrieval screen ("DownloadProc") as a modeless Qt dialog over its
// model; the main window's tick drives the blocks of a retrieval.
#pragma once

#include "gui/dialog_helpers.h"

#include <QDialog>
#include <functional>

#include "deploy/retrieval_screen.h"

class QLabel;
class QPushButton;

namespace kts {
struct Session;
}

namespace kts::gui {

class RetrievalView : public QDialog {
  Q_OBJECT
 public:
  RetrievalView(Session& s, RetrievalFlowHooks hooks, QWidget* parent = nullptr);

  // Reads the logger; false (nothing shown) when its state cannot be read.
  bool openScreen();
  // The tick's continue (the next block) and the exit's stop.
  void continueStep();
  void stop();

  RetrievalScreen& screen() { return screen_; }
  QPushButton* mainButton() const { return main_; }
  QPushButton* retrieveAllButton() const { return all_; }
  QLabel* messageLine() const { return message_; }

 signals:
  void ended();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  void refresh();

  Session& s_;
  RetrievalScreen screen_;
  LoggerStateLabels state_;
  QLabel* startMode_;
  QLabel* realTime_;
  QLabel* message_;
  QPushButton* main_;
  QPushButton* all_;
  QPushButton* cancel_;
};

}  // namespace kts::gui
