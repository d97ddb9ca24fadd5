// "KTS Logger - Calibration": the coefficients of every channel, four rows
// of four fields at a time, edited in a working copy and written to the
// logger only after a confirmation.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "link/coefficient_set.h"

namespace kts {

struct Session;

struct CalibrationDialog {
  static constexpr int kRows = 4;

  std::string caption = "KTS Logger - Calibration";
  std::string identityText;  // "KTS %s %5.2f %06d"
  int channels = 1;

  // One row per channel: its label ("3 - Temperature") and four fields.
  std::array<std::string, kMaxChannels> rowLabels;
  std::array<std::array<std::string, 4>, kMaxChannels> fields;

  // The first channel shown (0-based); the scroll bar runs from 1 to
  // channels − 3. With fewer than four channels the surplus rows and the
  // scroll bar are hidden and the window is shorter.
  int topChannel = 0;
  int visibleRows = kRows;
  bool scrollBarVisible = true;
  int scrollMinimum = 1;
  int scrollMaximum = 1;

  // The row of the field that last had the focus (0-based channel).
  int focusChannel = 0;

  // A logger that is logging or enabled cannot be calibrated.
  std::string setButtonText = "Set calibration";
  bool setButtonEnabled = true;
  std::string clipboardButtonText = "Load a column from the clipboard";
  bool clipboardButtonEnabled = true;

  // The working copy, what the logger held when the dialog opened, and the
  // text each field was last given: a field left as shown keeps its exact
  // value instead of the 15 decimals it shows.
  std::array<ChannelCoefficients, kMaxChannels> working{};
  std::array<ChannelCoefficients, kMaxChannels> original{};
  std::array<std::array<std::string, 4>, kMaxChannels> shown;
};

// Opens the dialog: sets the coefficients' re-read flag; QZ loggers read
// their configuration and coefficients again, the oldest loggers their
// coefficients; extended loggers show the set already held.
void OpenCalibrationDialog(Session& s, CalibrationDialog& d);

// Scroll bar position 1 … channels − 3.
void ScrollCalibrationDialog(CalibrationDialog& d, int position);
// A field took the focus.
void FocusCalibrationField(CalibrationDialog& d, int channel, int coefficient);
// "%.15f", as every field shows its value.
std::string CoefficientFieldText(double value);

// A typed coefficient: a finite number with optional blanks around it.
bool ParseCoefficientText(std::string_view text, double* value);

// Up to four numbers from the start of a text, separated by white space,
// as "%lf %lf %lf %lf" reads them; returns how many were read.
int ScanClipboardNumbers(std::string_view text, double out[4]);

// "Load a column from the clipboard": fills the focused row.
void LoadColumnFromClipboard(Session& s, CalibrationDialog& d);

enum class CalibrationOutcome {
  Invalid,    // a field is not a number (the dialog stays)
  Unchanged,  // nothing to write (the dialog stays)
  Declined,   // the user answered No (the dialog stays)
  Accepted,   // the working copy is now the current set: close, then CommSend(11)
};

// "Set calibration".
CalibrationOutcome SetCalibration(Session& s, CalibrationDialog& d);

}  // namespace kts
