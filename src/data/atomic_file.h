// Writing a file so that its name only ever holds a complete file: the text
// goes to "name.tmp-XXXXXX" in the same directory, is flushed to the disk and
// renamed over the name. An interrupted or failed write leaves the previous
// file as it was and removes the temporary one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kts {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile() { abandon(); }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file. An existing file's permissions carry over;
  // a new one gets the usual 0666 less the umask.
  bool open(const std::string& path);
  std::FILE* stream() const { return file_; }
  const std::string& path() const { return path_; }
  const std::string& temporaryPath() const { return temporary_; }

  // Flushes, syncs and renames into place. False when anything failed; the
  // previous file then stands and error() says why.
  bool commit();
  // Drops the temporary file; the previous file stands.
  void abandon();

  // The system's reason for the last failure, e.g. "No space left on device".
  const std::string& error() const { return error_; }

 private:
  bool fail(int errorNumber);

  std::string path_;
  std::string temporary_;
  std::string error_;
  std::FILE* file_ = nullptr;
};

// The whole file in one go. False (with the reason in *error when given)
// leaves the previous file.
bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         std::string* error = nullptr);

}  // namespace kts
