// Saving the data set and reading it back: the .hex file (the memory image
// behind the common header, byte for byte), the .dat file (engineering units
// in columns), and what a save writes beside them: the translated header
// (".chn.txt") and, for the tide-and-wave logger, the ".wave" and ".tide"
// files.
//
// Every file is written under a temporary name in its directory and renamed
// into place (data/atomic_file.h): a failed or interrupted write leaves the
// previous file as it was. A save counts as done, and its name goes to the
// recent-file list, only when every file of it was written.
//
// Readers trust nothing in a file: lines are bounded, counts are checked
// against the stores, and a file that cannot be read gets its message and
// leaves the data set, the image and the deployment fields as they were.
// The one exception is a file cut short inside its data: what it holds is
// taken, and the user is told that data were lost.
//
// The retrieval flow, the command line and the desktop application call
// these; everything the user is asked or told goes through s.ui.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace kts {

struct Session;

struct SaveOptions {
  // The .dat name; nullopt asks the user ("Select a 'dat' file for storing
  // the data"). An existing file is still only overwritten when the user
  // agrees (or the front end's Ui answers Yes).
  std::optional<std::string> datPath;
  // The comment for the header; nullopt asks for it ("Comment to be added
  // to data file"). At most 99 characters are kept.
  std::optional<std::string> comment;
};

// The save command. Asks when the data set holds no samples, asks for the
// name and the comment, writes the .hex file into the base directory's
// "hex" folder when the image was retrieved since the last save (an
// existing one only with the user's consent; refusing cancels the save),
// then the .dat file, the ".chn.txt" file when "Language Support" is on,
// and for the tide-and-wave logger the ".wave" and ".tide" files in "hkv".
// Returns 1 when everything was written; then the data count as saved.
int SaveData(Session& s, const SaveOptions& options = {});

// Writes samples first..last (as the plot shows them) to a new .dat file
// whose header starts at sample `first`, counts last − first + 1 samples
// and lists the stamps inside the range, renumbered. Returns 1 on success.
int SaveRange(Session& s, int first, int last, const SaveOptions& options = {});

// Reads a .hex file, decodes its image and appends the derived channels.
// A name that cannot be opened is looked for in the base directory's "hex"
// folder; a missing file leaves the recent-file list. Returns 1 on success
// (also when the file lost data at its end).
int ReadHexFile(Session& s, const std::string& path);

// Reads a .dat file: the measured columns, recomputing the derived ones. A
// file of the tide-and-wave logger is read from its .hex file when that can
// be found. Returns 1 on success (also when the file lost data at its end).
int ReadDataFile(Session& s, const std::string& path);

// Asks for the file to read ("Select an existing 'hex' file to be opened",
// "All Hex Files (*.hex)"; likewise for .dat); nullopt when cancelled.
std::optional<std::string> ChooseHexFile(Session& s);
std::optional<std::string> ChooseDataFile(Session& s);

// The readers over an open stream (fuzzing, tests); `name` is shown in the
// messages. They do what the path readers do after opening the file.
int ReadHexStream(Session& s, std::FILE* file, const std::string& name);
int ReadDataStream(Session& s, std::FILE* file, const std::string& name);

// The single files, for the command line and the other writers. Each is
// written atomically; false with the system's reason in *error.
// timeColumns: 0 none (N), 1 time (A), 2 date and time (E).
bool WriteHexFile(const Session& s, const std::string& path, std::string_view comment,
                  int timeColumns, std::string* error = nullptr);
// Samples first..last (last < 0: all). A logger that records text gets the
// text of its image instead of rows.
bool WriteDatFile(const Session& s, const std::string& path, std::string_view comment,
                  int timeColumns, int first = 0, int last = -1, std::string* error = nullptr);
// The translated header ("name.chn.txt", UTF-16 little-endian).
bool WriteTranslatedHeader(const Session& s, const std::string& path, std::string_view comment,
                           int timeColumns, std::string* error = nullptr);
// The ".wave" and ".tide" files of the tide-and-wave logger, named after the
// .dat file, in the base directory's "hkv" folder. Returns 0 (reason on the
// status line) when the folder or a file could not be written.
int WriteWaveFiles(Session& s, const std::string& datPath);

}  // namespace kts
