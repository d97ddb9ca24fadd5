// "Communiation Format": binary or engineering units, carried by OEM flag
// bit 2 in the start characteristic.
#include "core/session.h"
#include "deploy/logger_functions.h"
#include "link/capabilities.h"
#include "link/commands.h"
#include "link/logger_status.h"

namespace kts {
namespace {

constexpr uint32_t kEngineeringUnits = 4;

void ShowFormat(Session& s, OutputFormatDialog& dialog) {
  const bool realTime = s.description.externalDataConnector;
  dialog.okShown = s.description.engineeringUnitsLevel >= 1;
  if (!dialog.okShown) {
    dialog.text = "This logger can only output fetched data and real-time data in binary format";
    dialog.okText.clear();
    return;
  }
  if (s.deployment.block.oemFlags & kEngineeringUnits) {
    dialog.text = realTime ? "This logger is set to output fetched data and real-time data in "
                             "ENGINEERING UNITS"
                           : "This logger is set to output fetched data in\nENGINEERING UNITS";
    dialog.okText = "Set the output to BINARY FORMAT";
  } else {
    dialog.text = realTime ? "This logger is set to output fetched data and real-time data in "
                             "BINARY FORMAT"
                           : "This logger is set to output fetched data in\nBINARY FORMAT";
    dialog.okText = "Set the output to ENGINEERING UNITS";
  }
}

}  // namespace

int RefuseBusyLogger(Session& s, LoggerFunction f) {
  if (CommGet(s, 9) != 1) return 1;
  if (IsIdleStatus(s.link.status)) return 0;
  const bool baud = f == LoggerFunction::DefaultBaud;
  std::string text =
      "Logging in progress or enabled.\n";
  text += baud ? "Cannot set the default baudrate at this time." : "Cannot set the latency at this time.";
  text +=
      "\n\nUse 'Retrieve data' menu item to stop logger - \n 'Retrieve Data' or 'STOP Logger' "
      "button.";
  s.ui.message({text, baud ? "Set Default Baudrate" : "Set Latency", Icon::Warning, Buttons::Ok,
                Answer::Ok});
  return 1;
}

int editOutputFormat(Session& s, OutputFormatDialog& dialog) {
  if (s.link.connected) ReadCapabilities(s);
  if (s.description.startCharacteristicCommands && CommGet(s, 28) != 1) return 0;
  ShowFormat(s, dialog);
  return 1;
}

int AcceptOutputFormat(Session& s, OutputFormatDialog& dialog) {
  if (!dialog.okShown) return 0;
  uint32_t& oem = s.deployment.block.oemFlags;
  const uint32_t before = oem;
  oem ^= kEngineeringUnits;
  // The host reads fetched data in the format it believes the logger uses:
  // a change the logger did not take is undone.
  if (CommGet(s, 0) != 1 || CommSend(s, 28) != 1) {
    oem = before;
    ShowFormat(s, dialog);
    return 0;
  }
  s.ui.setUnitsIcon((oem & kEngineeringUnits) != 0);
  ShowFormat(s, dialog);
  return 1;
}

}  // namespace kts
