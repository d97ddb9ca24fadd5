// The other end of a real pseudo-terminal, scripted by a test: the code
// under test opens the slave device through the termios port as it would a
// USB serial adapter; the peer reads what it sends and answers.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kts::test {

class PtyPeer {
 public:
  // Called with everything received and not yet consumed; the handler
  // erases what it has dealt with and answers through reply().
  using Handler = std::function<void(PtyPeer&, std::string& pending)>;

  explicit PtyPeer(Handler handler);
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& path() const { return path_; }
  void reply(std::string_view bytes);
  // Every byte the peer has received so far.
  std::string received();
  // The same, once the line has been quiet for 60 ms (the host's last bytes
  // may still be on their way when the host call returns).
  std::string settled();
  // The rate the host last set on the line.
  int lineBaud() const;

 private:
  void run();

  int master_ = -1;
  std::string path_;
  Handler handler_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string received_;
  std::thread thread_;
};

}  // namespace kts::test
