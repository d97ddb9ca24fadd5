// The user-interaction interface with Qt: the status bar of the main
// window, message boxes, questions with their own buttons, file choice and
// the one-line comment dialog.
#pragma once

#include <QPointer>
#include <QWidget>

#include "gui/status_bar_view.h"
#include "platform/ui.h"

namespace kts::gui {

class QtUi : public Ui {
 public:
  QtUi() = default;

  // The window that owns the boxes and whose status bar shows the lines.
  void attach(QWidget* window, StatusBarView* statusBar);

  void setStatus(std::string_view text, bool warningIcon) override;
  void setConnectionState(std::string_view text) override;
  void setUnitsIcon(bool engineeringUnits) override;
  void setClock(std::string_view text) override;
  Answer message(const Message& m) override;
  int ask(const Question& q) override;
  std::optional<std::string> chooseFile(const FileRequest& r) override;
  std::optional<std::string> askText(const TextRequest& r) override;
  void progress(int percent, std::string_view text) override;
  void setBusy(bool busy) override;

 private:
  QPointer<QWidget> window_;
  QPointer<StatusBarView> statusBar_;
  int busyDepth_ = 0;
};

// The comment dialog: one edit line and two buttons; an empty optional
// when the reject button was chosen or the dialog closed.
std::optional<std::string> RunTextDialog(QWidget* parent, const TextRequest& r);

}  // namespace kts::gui
