#include "data/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace kts {
namespace {

std::string RandomSuffix(std::random_device& random) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string s(6, 'x');
  for (char& ch : s) ch = kLetters[random() % (sizeof kLetters - 1)];
  return s;
}

// The rename is only durable once the directory entry is on the disk too.
void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool AtomicFile::fail(int errorNumber) {
  error_ = std::strerror(errorNumber);
  abandon();
  return false;
}

bool AtomicFile::open(const std::string& path) {
  abandon();
  path_ = path;
  error_.clear();
  std::random_device random;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary_ = path + ".tmp-" + RandomSuffix(random);
    fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int e = errno;
    temporary_.clear();
    return fail(e);
  }
  struct stat previous;
  if (::stat(path.c_str(), &previous) == 0 && S_ISREG(previous.st_mode))
    ::fchmod(fd, previous.st_mode & 07777);
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    const int e = errno;
    ::close(fd);
    return fail(e);
  }
  return true;
}

bool AtomicFile::commit() {
  if (file_ == nullptr) {
    if (error_.empty()) error_ = std::strerror(EBADF);
    return false;
  }
  if (std::fflush(file_) != 0 || std::ferror(file_)) return fail(errno ? errno : EIO);
  if (::fsync(::fileno(file_)) != 0) return fail(errno);
  std::FILE* f = file_;
  file_ = nullptr;
  if (std::fclose(f) != 0) return fail(errno);
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) return fail(errno);
  temporary_.clear();
  SyncDirectoryOf(path_);
  return true;
}

void AtomicFile::abandon() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error) {
  AtomicFile file;
  bool ok = file.open(path);
  // A short write leaves the stream's error flag set, which the commit refuses.
  if (ok && !contents.empty()) std::fwrite(contents.data(), 1, contents.size(), file.stream());
  ok = ok && file.commit();
  if (!ok && error != nullptr) *error = file.error().empty() ? std::strerror(EIO) : file.error();
  return ok;
}

}  // namespace kts
