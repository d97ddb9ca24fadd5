#include "frame/menu_layout.h"

#include <array>

#include "frame/command_ids.h"

namespace kts {
namespace {

using P = MenuPopup;

constexpr std::array kPopups{
    PopupInfo{P::File, "&File"},
    PopupInfo{P::LoggerFunctions, "&Logger functions"},
    PopupInfo{P::Calibration, "Calibratio&n functions"},
    PopupInfo{P::Configuration, "&Configuration"},
};

constexpr std::array kItems{
    MenuItem{P::File, kCmdReadDat, "Read a &DAT file"},
    MenuItem{P::File, kCmdReadHex, "Read a &HEX file"},
    MenuItem{P::File, kCmdReadMatlab, "Read a MATLA&B file"},
    MenuItem{P::File, 0, ""},
    MenuItem{P::File, kCmdSaveFile, "&Save file"},
    MenuItem{P::File, kCmdSaveSegment, "Save screen se&gment to file"},
    MenuItem{P::File, kCmdSaveMatlab, "Save a &MATLAB file"},
    MenuItem{P::File, 0, ""},
    MenuItem{P::File, kCmdScreenCapture, "Scree&n capture"},
    MenuItem{P::File, 0, ""},
    MenuItem{P::File, kCmdExit, "E&xit"},
    MenuItem{P::None, kCmdSetup, "&Setup"},
    MenuItem{P::None, kCmdRetrieveData, "&Retrieve data"},
    MenuItem{P::LoggerFunctions, kCmdFetchLiveReadings, "&Fetch live readings"},
    MenuItem{P::LoggerFunctions, kCmdGpsTest, "&GPS test"},
    MenuItem{P::LoggerFunctions, kCmdDefaultBaud, "&Set default baud rate"},
    MenuItem{P::LoggerFunctions, kCmdEngineeringUnits, "&Engineering units"},
    MenuItem{P::LoggerFunctions, kCmdRealTimeRestart, "Real-&time display restart"},
    MenuItem{P::Calibration, kCmdCalibrationCoefficients, "View/Enter &calibration coefficients"},
    MenuItem{P::Calibration, kCmdCalibrationHistory, "Calibration &History"},
    MenuItem{P::Calibration, kCmdStatistics, "&View statistics/Two-point calibration"},
    MenuItem{P::Configuration, kCmdComSettings, "&COM settings"},
    MenuItem{P::Configuration, kCmdWriteFormat, "&Format for the save file"},
    MenuItem{P::Configuration, kCmdMatlabFormat, "Forma&t for the MATLAB save file"},
    MenuItem{P::Configuration, kCmdDerivedUnits, "&Derived units"},
    MenuItem{P::Configuration, kCmdRealTimeLimits, "&Real-time Limits"},
    MenuItem{P::Configuration, kCmdLanguage, "&Language resources"},
    MenuItem{P::Configuration, 0, ""},
    MenuItem{P::Configuration, kCmdShowRangeChanges, "&Show range changes", true},
    MenuItem{P::Configuration, kCmdAllowMultipleCopies, "&Allow multiple copies", true},
    MenuItem{P::None, kCmdMicroSalinometer, "&Micro-Salinometer"},
    MenuItem{P::None, kCmdAbout, "A&bout"},
};

}  // namespace

std::span<const MenuItem> MenuItems() { return kItems; }
std::span<const PopupInfo> MenuPopups() { return kPopups; }

const char* PopupText(MenuPopup popup) {
  for (const auto& p : kPopups)
    if (p.popup == popup) return p.text;
  return "";
}

const char* MenuText(int id) {
  if (id == 0) return nullptr;
  for (const auto& item : kItems)
    if (item.id == id) return item.text;
  if (id == kCmdModemSleep) return kModemSleepText;
  return nullptr;
}

}  // namespace kts
