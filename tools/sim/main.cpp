// korvenia-sim: a simulated instrument on a pseudo-terminal, for tests, benchmarks and for
// trying the program without hardware. It creates a pty, prints the device path the program
// should open, waits until the program opens it, then either sends a file paced like a real
// serial line or records what the program uploads (optionally pausing it with XOFF/XON).
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

struct Options {
  std::string mode;  // "send" or "receive"
  std::string file;
  long baud = 9600;  // 0: as fast as the pty takes it
  long lineGapMs = 0;
  long startDelayMs = 100;  // after the program opened the port, before sending
  long hangupAfter = -1;    // send: bytes after which the device vanishes
  long xoffEvery = 0;       // receive: bytes between two XOFF pauses
  long xoffMs = 0;          // receive: length of each pause
  long idleExitMs = -1;     // exit after this long without traffic once done (-1: never)
  std::string link;         // optional symlink to the device
};

void Usage(std::ostream& out) {
  out << "Usage:\n"
         "  korvenia-sim send FILE [--baud N] [--line-gap-ms N] [--start-delay-ms N]\n"
         "                         [--hangup-after BYTES] [--link PATH]\n"
         "  korvenia-sim receive OUT [--xoff-every N --xoff-ms M] [--link PATH]\n"
         "\n"
         "Prints the device path of a new pseudo-terminal and waits for a program to open it.\n"
         "send:    sends FILE at N baud (10 bits per character; 0 = unpaced), then stays silent\n"
         "         until the program closes the port. --hangup-after makes the device vanish.\n"
         "receive: stores every byte the program sends in OUT until it closes the port;\n"
         "         --xoff-every pauses the sender with XOFF for M ms after every N bytes.\n";
}

bool ParseLong(const std::string& text, long& out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || v < 0) return false;
  out = v;
  return true;
}

bool ParseArgs(int argc, char** argv, Options& o) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return false;
  o.mode = args[0];
  if (o.mode != "send" && o.mode != "receive") return false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto number = [&](long& out) { return i + 1 < args.size() && ParseLong(args[++i], out); };
    if (a == "--baud") {
      if (!number(o.baud)) return false;
    } else if (a == "--line-gap-ms") {
      if (!number(o.lineGapMs)) return false;
    } else if (a == "--start-delay-ms") {
      if (!number(o.startDelayMs)) return false;
    } else if (a == "--hangup-after") {
      if (!number(o.hangupAfter)) return false;
    } else if (a == "--xoff-every") {
      if (!number(o.xoffEvery)) return false;
    } else if (a == "--xoff-ms") {
      if (!number(o.xoffMs)) return false;
    } else if (a == "--idle-exit-ms") {
      if (!number(o.idleExitMs)) return false;
    } else if (a == "--link") {
      if (i + 1 >= args.size()) return false;
      o.link = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      return false;
    } else if (o.file.empty()) {
      o.file = a;
    } else {
      return false;
    }
  }
  return !o.file.empty();
}

// An inotify watch for the opening of the device's path (-1 without one): a program that
// opens and closes the port again between two looks at the master leaves no other trace.
int g_openWatch = -1;

// Waits until a program has opened the device: the master's hang-up is gone, data is
// waiting (a short upload may open, write and close again between two looks), or the
// device's path was opened.
bool WaitForOpen(int master) {
  while (!g_stop) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 0) < 0 && errno != EINTR) return false;
    if (!(p.revents & POLLHUP) || (p.revents & POLLIN)) return true;
    alignas(inotify_event) char event[sizeof(inotify_event) + 256];
    if (g_openWatch >= 0 && read(g_openWatch, event, sizeof event) > 0) return true;
    std::this_thread::sleep_for(milliseconds(10));
  }
  return false;
}

// Writes everything, waiting while the reader does not take more; gives up when a stop
// signal comes (the device is non-blocking, so a reader that stopped reading never leaves
// the write hanging).
bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    if (g_stop) return false;
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        pollfd p{fd, POLLOUT, 0};
        poll(&p, 1, 100);
        continue;
      }
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Sends `data` paced at `baud` (10 bits per character), with an extra gap after each CR.
int Send(int master, const std::string& data, const Options& o) {
  const size_t total =
      o.hangupAfter >= 0 ? std::min(static_cast<size_t>(o.hangupAfter), data.size()) : data.size();
  const auto perChar = std::chrono::duration_cast<Steady::duration>(
      std::chrono::duration<double>(o.baud > 0 ? 10.0 / static_cast<double>(o.baud) : 0.0));
  auto next = Steady::now();  // when the next character is due
  size_t sent = 0;
  while (sent < total && !g_stop) {
    size_t chunk = total - sent;
    if (o.baud > 0) {
      auto now = Steady::now();
      if (now < next) {
        std::this_thread::sleep_until(std::min(next, now + milliseconds(5)));
        continue;
      }
      const auto due = static_cast<size_t>((now - next) / perChar) + 1;
      chunk = std::min(chunk, due);
    }
    if (o.lineGapMs > 0) {
      const size_t cr = data.find('\r', sent);
      if (cr != std::string::npos && cr < sent + chunk) chunk = cr - sent + 1;
    }
    if (!WriteAll(master, data.data() + sent, chunk)) return 1;
    sent += chunk;
    next += perChar * static_cast<long>(chunk);
    if (o.lineGapMs > 0 && data[sent - 1] == '\r') {
      std::this_thread::sleep_for(milliseconds(o.lineGapMs));
      next = std::max(next, Steady::now());
    }
  }
  return 0;
}

int RunSend(int master, const Options& o) {
  std::ifstream in(o.file, std::ios::binary);
  if (!in) {
    std::cerr << "korvenia-sim: cannot read " << o.file << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!WaitForOpen(master)) return 1;
  std::this_thread::sleep_for(milliseconds(o.startDelayMs));
  if (Send(master, data, o) != 0) return 1;
  if (o.hangupAfter >= 0) {
    // The device vanishes: no goodbye, the line is simply gone. The short wait first lets
    // the bytes already on the line arrive, as they would on a cable.
    std::this_thread::sleep_for(milliseconds(200));
    close(master);
    return 0;
  }
  // Stay silent until the program closes the port; take (and drop) what it sends.
  const auto quietSince = Steady::now();
  char buf[4096];
  while (!g_stop) {
    if (o.idleExitMs >= 0 && Steady::now() - quietSince > milliseconds(o.idleExitMs)) break;
    pollfd p{master, POLLIN, 0};
    int r = poll(&p, 1, 50);
    if (r > 0 && (p.revents & POLLIN)) {
      const ssize_t n = read(master, buf, sizeof buf);
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (n <= 0) break;
      continue;
    }
    if (r > 0 && (p.revents & POLLHUP)) break;
  }
  return 0;
}

int RunReceive(int master, const Options& o) {
  std::ofstream out(o.file, std::ios::binary | std::ios::trunc);
  if (!out) {
    std::cerr << "korvenia-sim: cannot write " << o.file << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  if (!WaitForOpen(master)) return 1;
  long received = 0;
  long nextPause = o.xoffEvery > 0 ? o.xoffEvery : -1;
  char buf[4096];
  while (!g_stop) {
    pollfd p{master, POLLIN, 0};
    int r = poll(&p, 1, 50);
    if (r < 0 && errno != EINTR) break;
    if (r <= 0) continue;
    if (p.revents & POLLIN) {
      // Read no further than the next pause point, so a pause falls exactly there.
      size_t want = sizeof buf;
      if (nextPause > 0) want = std::min(want, static_cast<size_t>(nextPause - received));
      ssize_t n = read(master, buf, want);
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (n <= 0) break;  // the program closed the port and everything was read
      out.write(buf, n);
      out.flush();
      received += n;
      if (nextPause > 0 && received >= nextPause) {
        WriteAll(master, &kXoff, 1);
        std::this_thread::sleep_for(milliseconds(o.xoffMs));
        WriteAll(master, &kXon, 1);
        nextPause += o.xoffEvery;
      }
    } else if (p.revents & POLLHUP) {
      break;
    }
  }
  out.close();
  std::cerr << "korvenia-sim: received " << received << " bytes\n";
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    Usage(std::cout);
    return 0;
  }
  if (!ParseArgs(argc, argv, o)) {
    Usage(std::cerr);
    return 2;
  }
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  int master = -1;
  int slave = -1;
  char name[256] = {0};
  // No termios here: a zero-filled one would disable the XON/XOFF characters.
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    std::cerr << "korvenia-sim: cannot create a pseudo-terminal: " << std::strerror(errno) << "\n";
    return 1;
  }
  termios t{};
  tcgetattr(slave, &t);
  cfmakeraw(&t);
  tcsetattr(slave, TCSANOW, &t);
  // Closing our own slave side lets the master tell when the program opens and closes it.
  close(slave);
  g_openWatch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (g_openWatch >= 0 && inotify_add_watch(g_openWatch, name, IN_OPEN) < 0) {
    close(g_openWatch);
    g_openWatch = -1;
  }
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  if (!o.link.empty()) {
    unlink(o.link.c_str());
    if (symlink(name, o.link.c_str()) != 0) {
      std::cerr << "korvenia-sim: cannot create link " << o.link << ": " << std::strerror(errno)
                << "\n";
      return 1;
    }
  }
  std::cout << name << std::endl;

  const int rc = o.mode == "send" ? RunSend(master, o) : RunReceive(master, o);
  if (!o.link.empty()) unlink(o.link.c_str());
  if (o.mode != "send" || o.hangupAfter < 0) close(master);
  return rc;
}
