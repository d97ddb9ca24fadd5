#include "gui/language_view.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {

int RunLanguage(Session& s, QWidget* parent) {
  QDialog d(parent);
  d.setObjectName("languageSupport");
  d.setWindowTitle(DialogTitle(s, kLanguageTitle));
  auto* layout = new QVBoxLayout(&d);
  auto* chinese = new QCheckBox(kChineseSupportText, &d);
  chinese->setChecked(s.settings.languageSupport);
  layout->addWidget(chinese);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  layout->addWidget(buttons);
  if (d.exec() != QDialog::Accepted) return 0;
  s.settings.languageSupport = chinese->isChecked();
  return 1;
}

}  // namespace kts::gui
