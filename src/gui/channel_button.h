// An owner-drawn channel button: the channel's colour, a 3-D border and its
// short tag. Remembers whether Shift was held when it was clicked.
#pragma once

#include <QAbstractButton>

namespace kts::gui {

class ChannelButton : public QAbstractButton {
  Q_OBJECT
 public:
  ChannelButton(int channel, QWidget* parent);
  int channel() const { return channel_; }
  // Whether Shift was held on the last mouse click; read once per click.
  bool takeShift() {
    const bool held = shift_;
    shift_ = false;
    return held;
  }
  void setFace(int colour, bool whiteText, const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int channel_;
  int colour_ = 0;
  bool whiteText_ = false;
  bool shift_ = false;
};

}  // namespace kts::gui
