// The kts-sim program itself: device path on stdout, the --link symlink for
// as long as it runs, the exchange log, and clear refusals.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "link/protocol.h"
#include "test_session.h"

namespace kts {
namespace {

struct Program {
  pid_t pid = -1;
  int out = -1, err = -1;

  explicit Program(std::vector<std::string> args) {
    int o[2], e[2];
    if (pipe(o) != 0 || pipe(e) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(o[1], 1);
      dup2(e[1], 2);
      close(o[0]), close(e[0]);
      std::vector<char*> argv{const_cast<char*>(KTS_SIM_PROGRAM)};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(KTS_SIM_PROGRAM, argv.data());
      _exit(127);
    }
    close(o[1]), close(e[1]);
    out = o[0], err = e[0];
  }
  ~Program() {
    if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    if (out >= 0) close(out);
    if (err >= 0) close(err);
  }
  std::string line() {
    std::string s;
    char c;
    while (read(out, &c, 1) == 1 && c != '\n') s.push_back(c);
    return s;
  }
  std::string errors() {
    std::string s;
    char buffer[256];
    for (ssize_t n; (n = read(err, buffer, sizeof buffer)) > 0;)
      s.append(buffer, static_cast<size_t>(n));
    return s;
  }
  int wait() {
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST(Program, PublishesItsDeviceAnswersAndCleansUp) {
  const std::string dir = testing::TempDir();
  const std::string link = dir + "/kts_sim_program_test_link";
  const std::string logFile = dir + "/kts_sim_program_test.log";
  unlink(link.c_str());
  unlink(logFile.c_str());
  Program p({"--profile", "hv2", "--set", "records=10", "--link", link, "--log", logFile});
  const std::string path = p.line();
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path << p.errors();
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(path, target);

  {
    test::TestSession t;
    ASSERT_TRUE(t.openLogger(link, 19200));
    ASSERT_TRUE(QueryTagged(t.s, "A", "KTS"));
    EXPECT_EQ(t.s.reply.text(), "KTS HV-3070 2.20 001502\r\n");
  }
  kill(p.pid, SIGTERM);
  EXPECT_EQ(p.wait(), 0);
  struct stat st;
  EXPECT_NE(lstat(link.c_str(), &st), 0) << "the link is removed on exit";

  std::ifstream log(logFile);
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_NE(text.str().find(" > A\n"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find(" < KTS HV-3070 2.20 001502\\r\\n\n"), std::string::npos) << text.str();
  unlink(logFile.c_str());
}

TEST(Program, RefusesBadOptionsAndForeignFiles) {
  {
    Program p({"--noise", "7"});
    EXPECT_EQ(p.wait(), 2);
    EXPECT_NE(p.errors().find("kts-sim: --noise takes a chance from 0 to 1"), std::string::npos);
  }
  const std::string file = testing::TempDir() + "/kts_sim_program_test_file";
  { std::ofstream(file) << "not a link\n"; }
  {
    Program p({"--link", file});
    EXPECT_EQ(p.wait(), 1);
    EXPECT_NE(p.errors().find("exists and is not a symbolic link; not replacing it"),
              std::string::npos);
  }
  std::ifstream kept(file);
  std::string content;
  std::getline(kept, content);
  EXPECT_EQ(content, "not a link");
  unlink(file.c_str());
}

}  // namespace
}  // namespace kts
