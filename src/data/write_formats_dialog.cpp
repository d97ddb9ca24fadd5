#include "data/write_formats_dialog.h"

#include "core/session.h"
#include "data/settings_file.h"

namespace kts {

WriteFormatsDialog OpenWriteFormats(const Session& s) {
  WriteFormatsDialog d;
  const int v = s.settings.timeColumns;
  d.lineLayout = v >= 0 && v < static_cast<int>(kLineLayoutChoices.size()) ? v : 0;
  return d;
}

int AcceptWriteFormats(Session& s, const WriteFormatsDialog& dialog) {
  const int v = dialog.lineLayout;
  s.settings.timeColumns = v >= 0 && v < static_cast<int>(kLineLayoutChoices.size()) ? v : 0;
  return WriteSettings(s);
}

}  // namespace kts
