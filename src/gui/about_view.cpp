#include "gui/about_view.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "frame/about_box.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {

int RunAboutBox(Session& s, QWidget* parent) {
  QDialog d(parent);
  d.setObjectName("aboutBox");
  d.setWindowTitle(DialogTitle(s, kAboutTitle));
  auto* layout = new QVBoxLayout(&d);
  auto* icon = new QLabel(&d);
  icon->setPixmap(QIcon(":/kts-logger.svg").pixmap(48, 48));
  layout->addWidget(icon);
  auto* version = new QLabel(FromLatin1(AboutVersionText()), &d);
  version->setObjectName("version");
  layout->addWidget(version);
  layout->addWidget(new QLabel(FromLatin1(kAboutNotice), &d));
  auto* matlab = new QPlainTextEdit(FromLatin1(kAboutMatlabNotice), &d);
  matlab->setObjectName("matlabNotice");
  matlab->setReadOnly(true);
  matlab->setMaximumHeight(60);
  layout->addWidget(matlab);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  layout->addWidget(buttons);
  d.exec();
  return 0;
}

}  // namespace kts::gui
