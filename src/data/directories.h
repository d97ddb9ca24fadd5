// The data directories: the DAT, HEX and MAT directories kept in
// "ktsdir.ini", the "dat", "hex" and "mat" folders of the base directory,
// and the paths remembered between reads and saves.
#pragma once

#include <string>
#include <string_view>

namespace kts {

struct Session;
struct Settings;

enum class DataFolder { Dat, Hex, Mat };

// "dat", "hex" or "mat" in the base directory.
std::string BaseDataFolder(const Settings& settings, DataFolder folder);

// Reads "ktsdir.ini" (a line containing "DAT directory=" sets the DAT
// directory to the rest of the line after its first "=", and so on), then
// writes it back. A missing file leaves the directories as they are.
int ReadDirectories(Session& s);
// Returns 0 with the reason on the status line when the file could not be written.
int WriteDirectories(Session& s);

// At start-up: reads the directory file, gives each directory still "empty"
// its folder of the base directory, creates the "dat", "mat" and "hex"
// folders when missing and writes the directory file. A folder that cannot
// be created shows its "Startup" error and returns 0: the program then ends.
int SetUpDataDirectories(Session& s);

// After a `.hex` or `.dat` file was read: its directory becomes the HEX or
// DAT directory and the directory file is rewritten.
int NoteReadDirectory(Session& s, std::string_view path, DataFolder folder);

// After a save-range name was chosen: its directory, without a trailing
// "dat" or "hex" folder, is remembered; the next save-range starts in the
// "dat" folder under it.
void RememberPath(Settings& settings, std::string_view chosenPath);
std::string SaveRangeDirectory(const Settings& settings);

}  // namespace kts
