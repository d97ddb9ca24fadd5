// The main window's status bar: warning icon, message line, units icon,
// connection state and clock, with the widths of the original layout.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace kts::gui {

class StatusBarView : public QStatusBar {
  Q_OBJECT
 public:
  explicit StatusBarView(QWidget* parent = nullptr);

  void setMessage(const QString& text, bool warningIcon);
  void setUnits(bool engineeringUnits);
  void setConnection(const QString& text);
  void setClock(const QString& text);
  // A long operation's progress; hidden outside 0..99.
  void setProgress(int percent);

  QString message() const { return message_->text(); }
  bool warningShown() const { return warningShown_; }
  QString connection() const { return connection_->text(); }
  QString clock() const { return clock_->text(); }
  QString units() const { return units_->toolTip(); }

 private:
  QLabel* warning_;
  QLabel* message_;
  QLabel* units_;
  QLabel* connection_;
  QLabel* clock_;
  QProgressBar* progress_;
  bool warningShown_ = false;
};

}  // namespace kts::gui
