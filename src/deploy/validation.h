// The one check every setup screen runs after each change: are the times
// in order, does the deployment fit the memory, is the sampling period long
// enough for the sensors and the averaging, and may the logger power down
// between samples (the power flag).
#pragma once

namespace kts {

struct Session;
struct SetupScreen;

enum ValidationResult : int {
  kDeploymentValid = 0,
  kStartNotAfterLoggerTime = 1,
  kStartNotBeforeEnd = 2,
  kEndNotAfterLoggerTime = 5,
  kTooManySamples = 6,  // the proposals were refused
  kPeriodShorterThanAveraging = 7,
  kPeriodShorterThanMinimum = 8,
};

// When the validation runs. Enabling with "Resume" on the main button, and
// refreshing the texts of a screen whose settings came from the logger
// unchanged, check only the existing settings: that the end time is ahead.
enum class ValidationOccasion { Edit, Enable, Refresh };

bool ChecksExistingSettingsOnly(const Session& s, const SetupScreen& screen,
                                ValidationOccasion occasion);

// Runs the checks in their fixed order. A failure writes its message with
// the warning indicator to the screen's message line and disables its
// "Enable logging" button; success enables it. Without a screen the main
// setup screen is used. When the deployment needs more readings than the
// memory holds, the user is asked to accept a shorter end time or a longer
// sampling period; after either the checks run again from the start.
int validateDeployment(Session& s, SetupScreen* screen, bool clearMessageFirst,
                       ValidationOccasion occasion = ValidationOccasion::Edit);

// The minimum period and the power-cycle period of the current deployment,
// left in the deployment parameters.
void computeMinimumPeriods(Session& s);

}  // namespace kts
