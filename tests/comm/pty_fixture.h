// A pseudo-terminal pair made inside the test process: the program side opens the slave by
// its path, the test plays the instrument on the master. Plus a recording reporter.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "core/reporter.h"
#include "test_support.h"

namespace korv::test {

class PtyPair {
 public:
  PtyPair() {
    char name[256] = {0};
    // No termios: a zero-filled one would disable the XON/XOFF characters.
    if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
      path_ = name;
      termios t{};
      tcgetattr(slave_, &t);
      cfmakeraw(&t);
      tcsetattr(slave_, TCSANOW, &t);
    }
  }
  ~PtyPair() {
    CloseMaster();
    if (slave_ >= 0) close(slave_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  int master() const { return master_; }

  // The instrument sends `bytes`, optionally paced at `baud` (10 bits per character).
  void Send(const std::string& bytes, long baud = 0) {
    const auto start = std::chrono::steady_clock::now();
    size_t sent = 0;
    while (sent < bytes.size()) {
      size_t chunk = bytes.size() - sent;
      if (baud > 0) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto due = static_cast<size_t>(elapsed * static_cast<double>(baud) / 10.0) + 1;
        if (due <= sent) {
          std::this_thread::sleep_for(std::chrono::microseconds(500));
          continue;
        }
        chunk = std::min(chunk, due - sent);
      }
      ssize_t n = write(master_, bytes.data() + sent, chunk);
      if (n <= 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return;
      }
      sent += static_cast<size_t>(n);
    }
  }

  // Bytes the instrument sent that the program has not read from the driver yet.
  int Unread() const {
    int n = 0;
    ioctl(slave_, FIONREAD, &n);
    return n;
  }
  // Waits until the program has taken everything from the driver (or `limit` passed).
  bool WaitUnreadZero(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Unread() > 0) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  // Reads what the program sent until `idle` passes without a byte (or the program closes).
  std::string ReadAll(std::chrono::milliseconds idle = std::chrono::milliseconds(300)) {
    std::string out;
    char buf[4096];
    for (;;) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(idle.count())) <= 0) break;
      ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }

  // The device vanishes (cable pulled).
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

// A fresh folder for one test's files.
inline std::string TempFolder() {
  char tmpl[] = "/tmp/korvenia-comm-XXXXXX";
  const char* d = mkdtemp(tmpl);
  return d ? std::string(d) + "/" : std::string("/tmp/");
}

// Waits until `predicate` holds or `limit` passes.
template <typename Pred>
bool WaitUntil(Pred predicate, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!predicate()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace korv::test
