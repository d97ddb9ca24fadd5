#include "data/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "data/line_reader.h"
#include "temp_dir.h"

namespace kts {
namespace {

TEST(AtomicFile, ReplacesTheFileOnlyWhenCommitted) {
  test::TempDir dir;
  const std::string path = dir.file("data.dat");
  dir.write("data.dat", "previous");
  ::chmod(path.c_str(), 0640);
  {
    AtomicFile f;
    ASSERT_TRUE(f.open(path));
    EXPECT_EQ(f.temporaryPath().rfind(path + ".tmp-", 0), 0u);
    std::fputs("half a file", f.stream());
    EXPECT_EQ(dir.read("data.dat"), "previous");
  }  // dropped without commit
  EXPECT_EQ(dir.read("data.dat"), "previous");
  EXPECT_EQ(dir.entries(), 1);

  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "new contents", &error)) << error;
  EXPECT_EQ(dir.read("data.dat"), "new contents");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(dir.entries(), 1);
}

TEST(AtomicFile, AFailedWriteKeepsThePreviousFileAndSaysWhy) {
  test::TempDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.file("no/such/folder.ini"), "x", &error));
  EXPECT_EQ(error, "No such file or directory");

  // A disk that fills up part way: the file size limit stands in for it.
  dir.write("big.hex", "previous");
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old;
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 1000;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool written = WriteFileAtomically(dir.file("big.hex"), std::string(100000, 'x'), &error);
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(written);
  EXPECT_EQ(error, "File too large");
  EXPECT_EQ(dir.read("big.hex"), "previous");
  EXPECT_EQ(dir.entries(), 1);
}

TEST(LineReader, BoundsLinesAndHandlesEveryLineEnd) {
  test::TempDir dir;
  dir.write("t.txt", "one\r\ntwo\rhalf\n" + std::string(12, 'x') + "yz\n\nlast");
  InputFile in(dir.file("t.txt"));
  LineReader reader(in.file, 12);
  std::string line;
  bool cut = true;
  ASSERT_TRUE(reader.next(line, &cut));
  EXPECT_EQ(line, "one");
  EXPECT_FALSE(cut);
  ASSERT_TRUE(reader.next(line, &cut));
  EXPECT_EQ(line, "two\rhalf");
  ASSERT_TRUE(reader.next(line, &cut));
  EXPECT_EQ(line, std::string(12, 'x'));
  EXPECT_TRUE(cut);
  ASSERT_TRUE(reader.next(line, &cut));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(reader.next(line, &cut));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(reader.next(line, &cut));

  InputFile missing(dir.file("none"));
  LineReader nothing(missing.file, 10);
  EXPECT_FALSE(nothing.next(line));
}

}  // namespace
}  // namespace kts
