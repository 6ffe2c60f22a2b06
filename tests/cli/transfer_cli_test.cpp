// korvenia-cli download and upload end to end against korvenia-sim on pseudo-terminals:
// every byte across, Ctrl-C, a vanishing device, XOFF pauses, aborted uploads, usage, and the
// download journal that keeps every download's lines.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A child process with stdout and stderr sent to files, optionally under a file-size limit
// (`ulimit -f`, in bytes).
class Child {
 public:
  Child(std::vector<std::string> args, const fs::path& dir, const std::string& tag,
        rlim_t fileSizeLimit = RLIM_INFINITY)
      : out_(dir / (tag + ".out")), err_(dir / (tag + ".err")) {
    pid_ = ::fork();
    if (pid_ == 0) {
      int o = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int e = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(o, 1);
      ::dup2(e, 2);
      if (fileSizeLimit != RLIM_INFINITY) {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
      }
      ::setenv("HOME", (dir / "home").c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", (dir / "home").c_str(), 1);
      ::setenv("XDG_DATA_HOME", (dir / "home" / "data").c_str(), 1);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
  }
  ~Child() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  // Exit status, waiting at most `limit`; -1 when it is still running then (it is killed).
  int Wait(std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (status_ < 0) {
      int st = 0;
      pid_t r = ::waitpid(pid_, &st, WNOHANG);
      if (r == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        break;
      }
      if (std::chrono::steady_clock::now() > end) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &st, 0);
        return -1;
      }
      std::this_thread::sleep_for(5ms);
    }
    return status_;
  }
  void Signal(int sig) { ::kill(pid_, sig); }
  std::string Out() const { return korv::test::ReadFileBytes(out_); }
  std::string Err() const { return korv::test::ReadFileBytes(err_); }
  // The first line the process printed (the simulator's device path).
  std::string FirstLine(std::chrono::milliseconds limit = 5s) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      std::string s = Out();
      if (auto nl = s.find('\n'); nl != std::string::npos) return s.substr(0, nl);
      std::this_thread::sleep_for(5ms);
    }
    return "";
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  fs::path out_, err_;
};

class TransferCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korvenia_transfer_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "home");
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<Child> Sim(std::vector<std::string> args) {
    args.insert(args.begin(), KORVENIA_SIM);
    return std::make_unique<Child>(args, dir_, "sim" + std::to_string(++children_));
  }
  std::unique_ptr<Child> Cli(std::vector<std::string> args, rlim_t fileSizeLimit = RLIM_INFINITY) {
    args.insert(args.begin(), KORVENIA_CLI);
    return std::make_unique<Child>(args, dir_, "cli" + std::to_string(++children_), fileSizeLimit);
  }
  // The download journal's files not seen by an earlier call, by name.
  std::map<std::string, std::string> NewJournalFiles() {
    std::map<std::string, std::string> found;
    const fs::path folder = dir_ / "home" / "data" / "Korvenia" / "journal";
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
      const std::string name = e.path().filename().string();
      if (seenJournal_.insert(name).second) found[name] = korv::test::ReadFileBytes(e.path());
    }
    return found;
  }
  // The one journal file a download added, "" (and a failure) when it added none or more.
  std::string NewJournalFile() {
    const auto found = NewJournalFiles();
    EXPECT_EQ(found.size(), 1u);
    return found.size() == 1 ? found.begin()->second : "";
  }

  fs::path dir_;
  int children_ = 0;  // each child writes files of its own, so no one reads another's output
  std::set<std::string> seenJournal_;
};

std::string Lines(int n, const std::string& prefix) {
  std::string s;
  for (int i = 1; i <= n; ++i) {
    s += prefix + std::to_string(i) + ",6543210.123,123456.789,45.678,KERB\r\n";
  }
  return s;
}

TEST_F(TransferCli, DownloadStoresEveryLineAndEndsAfterSilence) {
  const std::string data = Lines(200, "PT") + "no line end";
  korv::test::WriteFileBytes(dir_ / "raw.txt", data);
  auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "38400"});
  const std::string device = sim->FirstLine();
  ASSERT_FALSE(device.empty());
  auto cli = Cli({"download", "--device", device, "--speed", "38400", "--flow", "none",
                  (dir_ / "out.raw").string()});
  EXPECT_EQ(cli->Wait(), 0) << cli->Err();
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw"), Lines(200, "PT"));
  EXPECT_NE(cli->Err().find("Data transmission successfully completed."), std::string::npos);
  EXPECT_NE(cli->Err().find("11 characters after the last carriage return were not stored."),
            std::string::npos)
      << cli->Err();
  EXPECT_FALSE(fs::exists(dir_ / "out.raw.part"));
  EXPECT_EQ(sim->Wait(), 0);  // the program closed the port
}

TEST_F(TransferCli, DownloadConvertsLikeConvertOrKeepsTheData) {
  korv::test::WriteFileBytes(dir_ / "points.asc", Lines(20, "P"));
  auto convert = Cli({"convert", "--from", "coord", "--to", "asc", "--separator", "space",
                      (dir_ / "points.asc").string(), (dir_ / "expected.txt").string()});
  ASSERT_EQ(convert->Wait(), 0) << convert->Err();
  korv::test::WriteFileBytes(
      dir_ / "Korvenia.ini",
      "[Coordinate Settings]\r\nField1=0\r\nField2=1\r\nField3=2\r\nField4=3\r\n"
      "Field5=4\r\nSeparator=1\r\n");
  {
    auto sim = Sim({"send", (dir_ / "points.asc").string(), "--baud", "0"});
    auto cli =
        Cli({"download", "--device", sim->FirstLine(), "--ini", (dir_ / "Korvenia.ini").string(),
             "--from", "coord", "--to", "asc", (dir_ / "out.txt").string()});
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.txt"),
              korv::test::ReadFileBytes(dir_ / "expected.txt"));
    EXPECT_FALSE(fs::exists(dir_ / "out.txt.part"));
    EXPECT_EQ(sim->Wait(), 0);
  }
  {
    // A conversion that does not exist is refused before anything is received.
    auto cli = Cli({"download", "--device", "/nonexistent", "--from", "coord", "--to", "mapa",
                    (dir_ / "out.map").string()});
    EXPECT_EQ(cli->Wait(), 2);
    EXPECT_NE(cli->Err().find("no conversion from 'coord' to 'mapa'"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "out.map.part"));
  }
  {
    // A conversion that fails keeps what was received.
    fs::create_directory(dir_ / "out.kof");
    auto sim = Sim({"send", (dir_ / "points.asc").string(), "--baud", "0"});
    auto cli = Cli({"download", "--device", sim->FirstLine(), "--from", "coord", "--to", "kof",
                    (dir_ / "out.kof").string()});
    EXPECT_EQ(cli->Wait(), 1);
    EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.kof.part"), Lines(20, "P"));
  }
}

TEST_F(TransferCli, CtrlCKeepsTheLinesSoFarBesideAnUntouchedOutput) {
  korv::test::WriteFileBytes(dir_ / "raw.txt", Lines(6, "PT"));
  korv::test::WriteFileBytes(dir_ / "out.raw", "what was there before\r\n");
  auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0", "--line-gap-ms", "400"});
  const std::string device = sim->FirstLine();
  ASSERT_FALSE(device.empty());
  auto cli = Cli({"download", "--device", device, (dir_ / "out.raw").string()});
  std::this_thread::sleep_for(1500ms);  // lines arrive every 0.4 s; the sixth after 2.1 s
  cli->Signal(SIGINT);
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_NE(cli->Err().find("Data transmission interrupted"), std::string::npos);
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw"), "what was there before\r\n");
  const std::string got = korv::test::ReadFileBytes(dir_ / "out.raw.part");
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got, Lines(6, "PT").substr(0, got.size())) << "only complete lines, in order";
  EXPECT_EQ(got.back(), '\n');
  EXPECT_NE(cli->Err().find("are in " + (dir_ / "out.raw.part").string()), std::string::npos)
      << cli->Err();

  // The download tried again keeps those lines: they move aside before it starts.
  auto again = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0"});
  auto retry = Cli({"download", "--device", again->FirstLine(), (dir_ / "out.raw").string()});
  EXPECT_EQ(retry->Wait(), 0) << retry->Err();
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw"), Lines(6, "PT"));
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw.part1"), got);
  EXPECT_FALSE(fs::exists(dir_ / "out.raw.part"));
  EXPECT_NE(retry->Err().find("are kept in " + (dir_ / "out.raw.part1").string()),
            std::string::npos)
      << retry->Err();
}

TEST_F(TransferCli, VanishingDeviceLeavesOutputAloneAndNeverStoresRawUnderTheConvertedName) {
  korv::test::WriteFileBytes(dir_ / "raw.txt", Lines(3, "PT"));
  korv::test::WriteFileBytes(dir_ / "out.raw", "what was there before\r\n");
  {
    // Gone before a single line arrived: nothing is kept.
    auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0", "--hangup-after", "5"});
    auto cli = Cli({"download", "--device", sim->FirstLine(), (dir_ / "out.raw").string()});
    EXPECT_EQ(cli->Wait(), 1);
    EXPECT_NE(cli->Err().find("Device unavailable"), std::string::npos) << cli->Err();
    EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw"), "what was there before\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "out.raw.part"));
  }
  {
    // Two lines and a half, meant for a conversion: the converted file stays as it was.
    korv::test::WriteFileBytes(dir_ / "out.txt", "converted before\r\n");
    const size_t twoLines = Lines(2, "PT").size();
    auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0", "--hangup-after",
                    std::to_string(twoLines + 7)});
    auto cli = Cli({"download", "--device", sim->FirstLine(), "--from", "coord", "--to", "asc",
                    (dir_ / "out.txt").string()});
    EXPECT_EQ(cli->Wait(), 1);
    EXPECT_NE(cli->Err().find("2 complete lines were kept"), std::string::npos) << cli->Err();
    EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.txt"), "converted before\r\n");
    EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.txt.part"), Lines(2, "PT"));
  }
}

TEST_F(TransferCli, WriteFailureKeepsWholeLinesOnlyAndCountsThem) {
  // A file-size limit in the middle of a line: the write fails like a full disk.
  const std::string data = Lines(300, "PT");
  korv::test::WriteFileBytes(dir_ / "raw.txt", data);
  korv::test::WriteFileBytes(dir_ / "out.raw", "what was there before\r\n");
  constexpr rlim_t kLimit = 5000;
  auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0"});
  auto cli = Cli({"download", "--device", sim->FirstLine(), (dir_ / "out.raw").string()}, kLimit);
  EXPECT_EQ(cli->Wait(), 1) << cli->Err();
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw"), "what was there before\r\n");
  const std::string kept = korv::test::ReadFileBytes(dir_ / "out.raw.part");
  // Every line that fits whole below the limit, and nothing of the next one.
  size_t whole = 0;
  long lines = 0;
  for (size_t end = data.find('\n'); end + 1 <= kLimit; end = data.find('\n', end + 1)) {
    whole = end + 1;
    ++lines;
  }
  EXPECT_EQ(kept, data.substr(0, whole));
  EXPECT_NE(cli->Err().find(std::to_string(lines) + " complete lines were kept"), std::string::npos)
      << cli->Err();
  // The journal meets the same limit: whole lines only there too, and it says so.
  EXPECT_EQ(NewJournalFile(), data.substr(0, whole));
  EXPECT_NE(cli->Err().find("Cannot write the download journal"), std::string::npos) << cli->Err();
}

// Every download's lines stay in the journal, whatever happens after they arrived; `journal`
// lists them newest first.
TEST_F(TransferCli, JournalKeepsTheLinesOfEveryDownloadAndListsThem) {
  korv::test::WriteFileBytes(dir_ / "raw.txt", Lines(6, "PT"));
  {
    // Ctrl-C: the lines so far, byte for byte as in OUTPUT.part.
    auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0", "--line-gap-ms", "400"});
    auto cli = Cli({"download", "--device", sim->FirstLine(), (dir_ / "out.raw").string()});
    std::this_thread::sleep_for(1500ms);
    cli->Signal(SIGINT);
    EXPECT_EQ(cli->Wait(), 1);
    const std::string kept = korv::test::ReadFileBytes(dir_ / "out.raw.part");
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(NewJournalFile(), kept);
  }
  {
    // The device vanishes in the third line.
    auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0", "--hangup-after",
                    std::to_string(Lines(2, "PT").size() + 7)});
    auto cli = Cli({"download", "--device", sim->FirstLine(), (dir_ / "lost.raw").string()});
    EXPECT_EQ(cli->Wait(), 1);
    EXPECT_EQ(NewJournalFile(), Lines(2, "PT"));
  }
  korv::test::WriteFileBytes(dir_ / "points.asc", Lines(20, "P"));
  {
    // The conversion fails (the output is a folder), and OUTPUT.part is then thrown away:
    // the journal still has every line.
    fs::create_directory(dir_ / "out.kof");
    auto sim = Sim({"send", (dir_ / "points.asc").string(), "--baud", "0"});
    auto cli = Cli({"download", "--device", sim->FirstLine(), "--from", "coord", "--to", "kof",
                    (dir_ / "out.kof").string()});
    EXPECT_EQ(cli->Wait(), 1);
    fs::remove(dir_ / "out.kof.part");
    EXPECT_EQ(NewJournalFile(), Lines(20, "P"));
  }
  {
    auto sim = Sim({"send", (dir_ / "points.asc").string(), "--baud", "0"});
    auto cli = Cli({"download", "--no-journal", "--device", sim->FirstLine(),
                    (dir_ / "quiet.raw").string()});
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_TRUE(NewJournalFiles().empty());
  }
  // Newest first: date time, device, lines, bytes, the file.
  auto list = Cli({"journal"});
  ASSERT_EQ(list->Wait(), 0) << list->Err();
  std::istringstream out(list->Out());
  std::vector<std::pair<long, long>> counts;  // lines, bytes
  for (std::string date, time, device, path; ;) {
    long lines = 0, bytes = 0;
    if (!(out >> date >> time >> device >> lines >> bytes >> path)) break;
    EXPECT_EQ(device.rfind("pts-", 0), 0u) << device;
    EXPECT_EQ(korv::test::ReadFileBytes(path).size(), static_cast<size_t>(bytes));
    counts.emplace_back(lines, bytes);
  }
  ASSERT_EQ(counts.size(), 3u) << list->Out();
  EXPECT_EQ(counts[0], std::make_pair(20L, static_cast<long>(Lines(20, "P").size())));
  EXPECT_EQ(counts[1], std::make_pair(2L, static_cast<long>(Lines(2, "PT").size())));
  EXPECT_GE(counts[2].first, 1L);
}

TEST_F(TransferCli, SenderEndingLinesWithLineFeedOnlyIsNoSuccess) {
  korv::test::WriteFileBytes(dir_ / "lf.txt", "PT1,1,2,3\nPT2,4,5,6\n");
  korv::test::WriteFileBytes(dir_ / "out.raw", "what was there before\r\n");
  auto sim = Sim({"send", (dir_ / "lf.txt").string(), "--baud", "0"});
  auto cli = Cli({"download", "--device", sim->FirstLine(), (dir_ / "out.raw").string()});
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_EQ(cli->Err().find("successfully"), std::string::npos) << cli->Err();
  EXPECT_NE(cli->Err().find("18 characters"), std::string::npos) << cli->Err();
  EXPECT_NE(cli->Err().find("not stored"), std::string::npos) << cli->Err();
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw"), "what was there before\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "out.raw.part"));
}

TEST_F(TransferCli, StoredIndexesOutOfRangeSelectTheFirstEntry) {
  // As the windows do: speed, data bits, flow control and port beyond their lists.
  korv::test::WriteFileBytes(dir_ / "raw.txt", Lines(2, "PT"));
  auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0"});
  const std::string device = sim->FirstLine();
  korv::test::WriteFileBytes(
      dir_ / "Korvenia.ini",
      "[Coomunication Port]\r\nCOM1\r\nCOM2\r\n\r\n[Coomunication Speed]\r\n9600\r\n19200\r\n"
      "\r\n[Coomunication Data bits]\r\n8\r\n7\r\n\r\n[Coomunication Flow control]\r\nNone\r\n"
      "Xon/Xoff\r\n\r\n[Default]\r\nPort=9\r\nSpeed=9\r\nDataBits=2\r\nFlowControl=5\r\n"
      "[Serial devices]\r\nCOM1=" +
          device + "\r\n");
  auto cli =
      Cli({"download", "--ini", (dir_ / "Korvenia.ini").string(), (dir_ / "out.raw").string()});
  EXPECT_EQ(cli->Wait(), 0) << cli->Err();
  EXPECT_NE(cli->Err().find("Waiting for data on " + device + " (9600,n,8,1)"), std::string::npos)
      << cli->Err();
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "out.raw"), Lines(2, "PT"));
}

TEST_F(TransferCli, PortThatCannotBeOpened) {
  auto cli =
      Cli({"download", "--device", (dir_ / "no-such-port").string(), (dir_ / "out.raw").string()});
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_NE(cli->Err().find("The communication port could not be opened."), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "out.raw"));
  EXPECT_FALSE(fs::exists(dir_ / "out.raw.part"));
}

TEST_F(TransferCli, UploadWithXoffPausesArrivesWholeAndOnce) {
  const std::string points = Lines(3000, "P");
  korv::test::WriteFileBytes(dir_ / "points.asc", "\r\n" + points + "   \r\n");
  auto sim =
      Sim({"receive", (dir_ / "got.txt").string(), "--xoff-every", "40000", "--xoff-ms", "200"});
  const std::string device = sim->FirstLine();
  ASSERT_FALSE(device.empty());
  auto cli = Cli({"upload", "--format", "coord", "--device", device, "--flow", "xonxoff",
                  (dir_ / "points.asc").string()});
  EXPECT_EQ(cli->Wait(), 0) << cli->Err();
  EXPECT_NE(cli->Err().find("The data was uploaded successfully."), std::string::npos);
  EXPECT_EQ(sim->Wait(), 0);
  const std::string got = korv::test::ReadFileBytes(dir_ / "got.txt");
  EXPECT_EQ(got.size(), points.size());
  EXPECT_TRUE(got == points);
}

TEST_F(TransferCli, CtrlCWhileTheInstrumentHoldsXoffSaysWhatArrivedAndCutsNoLine) {
  const std::string points = Lines(4000, "P");
  korv::test::WriteFileBytes(dir_ / "points.asc", points);
  // The instrument pauses the sender for 3 s after 30,000 bytes; Ctrl-C comes in the pause.
  auto sim =
      Sim({"receive", (dir_ / "got.txt").string(), "--xoff-every", "30000", "--xoff-ms", "3000"});
  const std::string device = sim->FirstLine();
  ASSERT_FALSE(device.empty());
  auto cli = Cli({"upload", "--format", "coord", "--device", device, "--flow", "xonxoff",
                  (dir_ / "points.asc").string()});
  // Once the pause has begun, however slowly a loaded machine started the program.
  const auto received = [&] {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(dir_ / "got.txt", ec);
    return ec ? 0 : size;
  };
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (received() < 30000 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(20ms);
  }
  cli->Signal(SIGINT);
  EXPECT_EQ(cli->Wait(), 1) << cli->Err();
  EXPECT_EQ(sim->Wait(), 0);
  const std::string err = cli->Err();
  EXPECT_NE(err.find("Upload aborted!"), std::string::npos) << err;
  const size_t said = err.rfind("Sent ");
  ASSERT_NE(said, std::string::npos) << err;
  const long sent = std::stol(err.substr(said + 5));
  const std::string got = korv::test::ReadFileBytes(dir_ / "got.txt");
  long lines = 0;
  for (char c : got) lines += c == '\n';
  EXPECT_EQ(sent, lines) << err;
  EXPECT_GT(lines, 0);
  EXPECT_LT(got.size(), points.size());
  EXPECT_TRUE(points.compare(0, got.size(), got) == 0);
  EXPECT_TRUE(got.empty() || got.back() == '\n') << "a cut line arrived";
}

TEST_F(TransferCli, SimulatorKeepsAShortUploadThatOpensAndClosesAtOnce) {
  auto sim = Sim({"receive", (dir_ / "got.txt").string()});
  const std::string device = sim->FirstLine();
  ASSERT_FALSE(device.empty());
  std::this_thread::sleep_for(50ms);
  // Open, write and close well within the simulator's look-out interval.
  const int fd = ::open(device.c_str(), O_WRONLY | O_NOCTTY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "P1\r\n", 4), 4);
  ::close(fd);
  EXPECT_EQ(sim->Wait(5s), 0);
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "got.txt"), "P1\r\n");
}

TEST_F(TransferCli, UploadDryRunUsesSavedColumnsAndOrder) {
  korv::test::WriteFileBytes(
      dir_ / "Korvenia.ini",
      "[Default]\r\nStCombCoord0=1\r\n[Coordinate UpLoad Settings]\r\nField1= 1\r\n"
      "Field2= 2\r\nField3= 0\r\nField4= 3\r\nField5= 4\r\nSeparator=1\r\n");
  korv::test::WriteFileBytes(dir_ / "points.txt", "100,5  200  P1  10  KERB\r\n");
  auto cli = Cli({"upload", "--format", "coord", "--dry-run", "--ini",
                  (dir_ / "Korvenia.ini").string(), (dir_ / "points.txt").string()});
  EXPECT_EQ(cli->Wait(), 0) << cli->Err();
  EXPECT_EQ(cli->Out(), "P1,200,100.5,10,KERB\r\n");

  korv::test::WriteFileBytes(dir_ / "codes.txt", "KERB\r\n  TREE  \r\n\r\nLAMP\r\n");
  cli = Cli({"upload", "--format", "code", "--dry-run", (dir_ / "codes.txt").string()});
  EXPECT_EQ(cli->Wait(), 0) << cli->Err();
  EXPECT_EQ(cli->Out(), "KERB\r\nTREE\r\nLAMP\r\n");
}

TEST_F(TransferCli, UploadCheckWarnsOrWithStrictStopsBeforeThePortOpens) {
  // Line 2 repeats the name of line 1, line 4 has a coordinate that does not read.
  const std::string points =
      "P1,6543210.123,123456.789,45.678,KERB\r\n"
      "P1,6543211.000,123457.000,45.000,KERB\r\n"
      "\r\n"
      "P3,65432x0.000,123456.000,45.000,KERB\r\n";
  korv::test::WriteFileBytes(dir_ / "points.asc", points);
  const std::string found =
      "line 2: point \"P1\" was sent before, on line 1\n"
      "korvenia-cli: %: line 4: point \"P3\": \"65432x0.000\" is not a number\n";
  auto said = [&found](const char* level) {
    std::string text = "korvenia-cli: " + std::string(level) + ": " + found;
    text.replace(text.find('%'), 1, level);
    return text;
  };

  // --strict: errors, nothing written, and a device that is not there never tried.
  auto cli =
      Cli({"upload", "--format", "coord", "--strict", "--dry-run", (dir_ / "points.asc").string()});
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_EQ(cli->Out(), "");
  EXPECT_EQ(cli->Err(), said("error") + "Upload aborted!\n");
  cli = Cli({"upload", "--format", "coord", "--strict", "--device",
             (dir_ / "no-such-port").string(), (dir_ / "points.asc").string()});
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_EQ(cli->Err(), said("error") + "Upload aborted!\n");

  // Without it: the same as warnings, and every line sent.
  auto sim = Sim({"receive", (dir_ / "got.txt").string()});
  const std::string device = sim->FirstLine();
  ASSERT_FALSE(device.empty());
  cli = Cli({"upload", "--format", "coord", "--device", device, (dir_ / "points.asc").string()});
  EXPECT_EQ(cli->Wait(), 0) << cli->Err();
  EXPECT_EQ(cli->Err().rfind(said("warning"), 0), 0u) << cli->Err();
  EXPECT_EQ(sim->Wait(), 0);
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "got.txt"),
            "P1,6543210.123,123456.789,45.678,KERB\r\n"
            "P1,6543211.000,123457.000,45.000,KERB\r\n"
            "P3,65432x0.000,123456.000,45.000,KERB\r\n");
}

TEST_F(TransferCli, NothingToSendOrUnreadableSourceIsAborted) {
  korv::test::WriteFileBytes(dir_ / "codes.txt", "KERB\r\nTREE\r\n");
  auto cli = Cli({"upload", "--format", "code", "--dry-run", (dir_ / "codes.txt").string()});
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_NE(cli->Err().find("Upload aborted!"), std::string::npos);
  EXPECT_EQ(cli->Out(), "");

  // Enough lines counted, yet none to send: blank lines only, a KOF file without points.
  korv::test::WriteFileBytes(dir_ / "blank.asc", "\r\n   \r\n\r\n\r\n");
  korv::test::WriteFileBytes(dir_ / "empty.kof", " 00 Oppdrag\r\n 09_91\r\n 09_99\r\n");
  for (const auto& [format, file] :
       {std::pair<std::string, std::string>{"coord", "blank.asc"}, {"kof", "empty.kof"}}) {
    for (const std::vector<std::string>& how :
         {std::vector<std::string>{"--dry-run"},
          std::vector<std::string>{"--device", (dir_ / "no-such-port").string()}}) {
      std::vector<std::string> args = {"upload", "--format", format};
      args.insert(args.end(), how.begin(), how.end());
      args.push_back((dir_ / file).string());
      cli = Cli(args);
      EXPECT_EQ(cli->Wait(), 1) << file;
      EXPECT_NE(
          cli->Err().find("nothing to send in " + (dir_ / file).string() + "\nUpload aborted!"),
          std::string::npos)
          << cli->Err();
      EXPECT_EQ(cli->Err().find("successfully"), std::string::npos);
      EXPECT_EQ(cli->Out(), "");
    }
  }

  cli = Cli({"upload", "--format", "kof", "--dry-run", (dir_ / "missing.kof").string()});
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_NE(cli->Err().find("Upload aborted!"), std::string::npos);
  EXPECT_NE(cli->Err().find("missing.kof"), std::string::npos);
  // UTF-16 text is refused as a whole rather than sent as names full of NUL bytes.
  korv::test::WriteFileBytes(dir_ / "utf16.asc", std::string("\xFF\xFEP\0001\000,\0001\000", 10));
  cli = Cli({"upload", "--format", "coord", "--dry-run", (dir_ / "utf16.asc").string()});
  EXPECT_EQ(cli->Wait(), 1);
  EXPECT_NE(cli->Err().find("Cannot send " + (dir_ / "utf16.asc").string() + ": it is UTF-16"),
            std::string::npos)
      << cli->Err();
  EXPECT_EQ(cli->Out(), "");
}

TEST_F(TransferCli, SimulatorStopsOnSignalWhileItsReaderDoesNotRead) {
  korv::test::WriteFileBytes(dir_ / "raw.txt", Lines(20000, "PT"));
  for (int sig : {SIGTERM, SIGINT}) {
    auto sim = Sim({"send", (dir_ / "raw.txt").string(), "--baud", "0", "--start-delay-ms", "0"});
    const std::string device = sim->FirstLine();
    ASSERT_FALSE(device.empty());
    // A reader that opens the device and never reads: the simulator's writes block.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    std::this_thread::sleep_for(300ms);
    sim->Signal(sig);
    EXPECT_GE(sim->Wait(5s), 0) << "still writing after signal " << sig;
    ::close(fd);
  }
}

TEST_F(TransferCli, UsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"download"},
      {"download", "--flow", "rts", "out"},
      {"download", "--data-bits", "9", "out"},
      {"download", "--device", "/dev/x", "--port", "2", "out"},
      {"upload", "in.asc"},
      {"upload", "--format", "dxf", "--dry-run", "in.asc"},
      {"upload", "--format", "code", "--separator", "comma", "--dry-run", "in"},
      {"upload", "--format", "coord", "--dry-run", "--device", "/dev/x", "in"},
  };
  for (const auto& args : cases) {
    auto cli = Cli(args);
    EXPECT_EQ(cli->Wait(), 2) << args.size() << " " << args.back();
  }
}

}  // namespace
