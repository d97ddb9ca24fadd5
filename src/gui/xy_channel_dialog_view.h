// The view of the x-y channel choice: the prompt, a number with a spin
// control, OK and Cancel. The rules live in frame/xy_channel_dialog.h.
#pragma once

#include <QDialog>

#include "frame/xy_channel_dialog.h"

class QSpinBox;

namespace kts::gui {

class XyChannelDialogView : public QDialog {
  Q_OBJECT
 public:
  XyChannelDialogView(XyChannelDialog& model, QWidget* parent);
  void accept() override;

 private:
  XyChannelDialog& model_;
  QSpinBox* number_;
};

}  // namespace kts::gui
