#include "data/matlab_format_dialog.h"

#include "data/settings.h"

namespace kts {
namespace {

int Choice(int value) { return value == 1 ? 1 : 0; }

}  // namespace

MatlabFormatDialog OpenMatlabFormat(const Settings& settings) {
  return {Choice(settings.matlabFrequency), Choice(settings.matlabFormat)};
}

int MatlabFormatOk(Settings& settings, const MatlabFormatDialog& dialog) {
  settings.matlabFrequency = Choice(dialog.frequency);
  settings.matlabFormat = Choice(dialog.format);
  return 1;
}

}  // namespace kts
