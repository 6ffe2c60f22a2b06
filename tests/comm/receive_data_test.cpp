// Download receiver on a real pseudo-terminal: what is stored, the count, the silence limit
// on an injected clock, cancel, a device that vanishes, a full disk, and the status of each
// ending with the words the windows read from the program's state.
#include "comm/receive_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <thread>

#include "comm/pty_fixture.h"
#include "core/app_state.h"

namespace korv {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::RecordingReporter;

class ReceiveDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    folder = test::TempFolder();
    scratchPath = folder + "Brevant.tem";
    scratch.open(scratchPath, std::ios::out | std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(scratch.is_open());
    ASSERT_TRUE(link.Open(pty.path(), "19200,n,8,1", 0)) << link.faultText();
    hooks.idle = [this] { ++idleCalls; };
    hooks.showCount = [this](std::int64_t c) { counts.push_back(c); };
  }
  void TearDown() override {
    if (instrument.joinable()) instrument.join();
    std::filesystem::remove_all(folder);
  }

  // Returns once the receiver has handled everything the instrument sent so far.
  void Settle() {
    ASSERT_TRUE(pty.WaitUnreadZero());
    const int seen = idleCalls.load();
    ASSERT_TRUE(test::WaitUntil([&] { return idleCalls.load() >= seen + 2; }));
  }

  ReceiveResult Receive() {
    return ReceiveData(link, scratch, scratchPath, cancel, reporter, CommMessages(), hooks, clock);
  }

  PtyPair pty;
  SerialLink link;
  std::string folder;
  std::string scratchPath;
  std::fstream scratch;
  bool cancel = true;  // the loop clears it when it starts
  RecordingReporter reporter;
  ManualClock clock;
  ReceiveHooks hooks;
  std::atomic<int> idleCalls{0};
  std::vector<std::int64_t> counts;
  std::thread instrument;
};

TEST_F(ReceiveDataTest, StoresLinesByCarriageReturnAndCountsCharacters) {
  // Nothing accepted for a long time: the silence limit has not started yet. Bytes 0 and
  // 128..255 are neither stored nor counted and do not start it.
  instrument = std::thread([this] {
    clock.Set(100s);
    pty.Send(std::string("\0\x80\xff", 3));
    Settle();
    clock.Set(200s);
    Settle();
    pty.Send("PT,1,2\r\nA\x01\x7f\xe9Z\r\r\n\r");
    pty.Send("end without line end");
    Settle();
    clock.Advance(3s + 1ms);
  });
  ReceiveResult r = Receive();
  instrument.join();

  EXPECT_EQ(r.status, Status::Succeeded);
  EXPECT_EQ(test::ReadFileBytes(scratchPath), "PT,1,2\r\nA\x01\x7fZ\r\n\r\n\r\n");
  EXPECT_EQ(r.count, 10);
  EXPECT_EQ(r.lines, 4);
  EXPECT_EQ(r.notStored, 20);
  EXPECT_EQ(counts, (std::vector<std::int64_t>{6, 10, 10, 10}));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_FALSE(scratch.is_open());
  EXPECT_FALSE(cancel);
  // The text after the last carriage return is not stored, nor a letter above 127 within the
  // data (the noise before it is not counted), and the message says so.
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].text,
            "Data transmission successfully completed.\n"
            "20 characters after the last carriage return were not stored.\n"
            "1 character above code 127 (a letter such as Ø or é) was left out of the stored "
            "lines (first in line 2).");
  EXPECT_EQ(reporter.reports[0].title, "Complete");
  EXPECT_EQ(reporter.reports[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(reporter.beeps, 1);
}

TEST_F(ReceiveDataTest, ExactlyThreeSecondsOfSilenceKeepsReceiving) {
  instrument = std::thread([this] {
    pty.Send("A\r");
    Settle();
    clock.Set(3s);  // exactly the limit: not over it
    Settle();
    pty.Send("B\r");
    Settle();
    // A rejected byte restarts the running timer.
    clock.Set(5500ms);
    pty.Send("\x80");
    Settle();
    clock.Set(8500ms);  // 5.5 s after B, exactly 3.0 after the rejected byte
    Settle();
    pty.Send("C\r");
    Settle();
    clock.Set(11500ms + 1ns);
  });
  ReceiveResult r = Receive();
  instrument.join();
  EXPECT_EQ(r.status, Status::Succeeded);
  EXPECT_EQ(test::ReadFileBytes(scratchPath), "A\r\nB\r\nC\r\n");
}

TEST_F(ReceiveDataTest, EveryByteKeptAtEachOfferedSpeed) {
  std::string data;
  for (int i = 0; i < 120; ++i) {
    data += "GPS," + std::to_string(i) + ",6543210.123,123456.789,45.6,KERB-" +
            std::to_string(i % 7) + "\r\n";
  }
  std::string expected;
  for (char c : data) {
    if (c != '\n') expected += c == '\r' ? std::string("\r\n") : std::string(1, c);
  }
  for (long baud : {9600L, 38400L, 0L}) {
    SCOPED_TRACE(baud);
    if (baud != 9600) {  // a fresh scratch file and port for each speed
      scratch.open(scratchPath, std::ios::out | std::ios::binary | std::ios::trunc);
      ASSERT_TRUE(link.Open(pty.path(), std::to_string(baud ? baud : 38400) + ",n,8,1", 1));
      counts.clear();
    }
    // Only the first third is paced, to keep the test short at the slower speeds.
    instrument = std::thread([&] {
      pty.Send(data.substr(0, data.size() / 3), baud);
      pty.Send(data.substr(data.size() / 3));
      Settle();
      clock.Advance(3s + 1ms);
    });
    ReceiveResult r = Receive();
    instrument.join();
    EXPECT_EQ(r.status, Status::Succeeded);
    EXPECT_EQ(test::ReadFileBytes(scratchPath), expected);
    EXPECT_EQ(r.lines, 120);
  }
}

TEST_F(ReceiveDataTest, InstrumentThatNeverSendsEndsOnlyByCancel) {
  int events = 0;
  hooks.processEvents = [&] {
    if (++events == 40) cancel = true;  // the user presses Cancel
  };
  clock.Set(1000s);
  ReceiveResult r = Receive();
  EXPECT_EQ(r.status, Status::Cancelled);
  EXPECT_GE(idleCalls.load(), 30);  // it waited, calling the events hook on every pass
  EXPECT_EQ(test::ReadFileBytes(scratchPath), "");
  EXPECT_FALSE(link.IsOpen());
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].text, "Data transmission interrupted");
  EXPECT_EQ(reporter.reports[0].title, "Warning");
  EXPECT_EQ(reporter.reports[0].icon, MessageIcon::Critical);
  EXPECT_EQ(reporter.beeps, 1);
}

// A Cancel pressed while the first events run (the download window has just been shown)
// counts; it was once cleared right after them, and the download waited on.
TEST_F(ReceiveDataTest, CancelInTheFirstEventsCounts) {
  int events = 0;
  hooks.processEvents = [&] {
    ++events;
    if (events == 1 || events == 100) cancel = true;  // 100: a stop, should the first be lost
  };
  clock.Set(1000s);
  EXPECT_EQ(Receive().status, Status::Cancelled);
  EXPECT_LT(events, 100);
}

TEST_F(ReceiveDataTest, CancelDuringReceptionKeepsCompleteLines) {
  hooks.showCount = [&](std::int64_t) {
    if (counts.size() == 1) cancel = true;
    counts.push_back(0);
  };
  instrument = std::thread([this] { pty.Send("L1\r\nL2\r\nL3\r\n"); });
  ReceiveResult r = Receive();
  EXPECT_EQ(r.status, Status::Cancelled);
  EXPECT_EQ(test::ReadFileBytes(scratchPath), "L1\r\nL2\r\n");
}

TEST_F(ReceiveDataTest, VanishingDeviceStopsKeepsCompleteLinesAndReportsOnce) {
  instrument = std::thread([this] {
    pty.Send("L1\r\nL2\r\nhalf a li");
    Settle();
    pty.CloseMaster();  // cable pulled
  });
  ReceiveResult r = Receive();
  instrument.join();
  EXPECT_EQ(r.status, Status::DeviceLost);
  EXPECT_EQ(test::ReadFileBytes(scratchPath), "L1\r\nL2\r\n");
  EXPECT_FALSE(link.IsOpen());
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].title, "Error");
  EXPECT_EQ(reporter.reports[0].icon, MessageIcon::Exclamation);
  EXPECT_NE(reporter.reports[0].text.find("Device unavailable"), std::string::npos);
  EXPECT_NE(reporter.reports[0].text.find("2 complete lines were kept"), std::string::npos);
}

TEST_F(ReceiveDataTest, ScratchFileThatCannotBeWrittenFails) {
  scratch.close();
  scratch.open("/dev/full", std::ios::out | std::ios::binary);
  ASSERT_TRUE(scratch.is_open());
  // The first line that does not reach the disk ends the reception.
  instrument = std::thread([this] { pty.Send("L1\r\n"); });
  ReceiveResult r = Receive();
  EXPECT_EQ(r.status, Status::OutputFault);
  EXPECT_EQ(r.lines, 0);
  EXPECT_FALSE(link.IsOpen());
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_NE(reporter.reports[0].text.find("Disk full. 0 complete lines were kept."),
            std::string::npos);
}

TEST_F(ReceiveDataTest, ProgramStateCarriesTheOutcome) {
  AppState state;
  state.Messages[17] = "Abgebrochen";
  state.Messages[16] = "Achtung";
  state.ActionWord = "leftover";
  hooks.idle = [&] { state.CancelRequested = true; };
  ReceiveResult r = ReceiveData(state, link, scratch, reporter, hooks, clock);
  EXPECT_EQ(state.ActionWord, "Stop");
  EXPECT_FALSE(state.DownloadOK);
  EXPECT_EQ(r.status, Status::Cancelled);
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].text, "Abgebrochen");
  EXPECT_EQ(reporter.reports[0].title, "Achtung");
}

// Each way a download ends, through the program-state wrapper: the status, the fault the
// user is told, what stays in the scratch file, and the words the windows read.
enum class Way { Completed, Cancelled, DeviceGone, DiskFull, NoWholeLine };

struct ReceiveEnding {
  const char* name;
  Way way;
  Status status;
  const char* actionWord;
  const char* stored;
};

class ReceiveEndingTest : public ReceiveDataTest,
                          public ::testing::WithParamInterface<ReceiveEnding> {};

TEST_P(ReceiveEndingTest, StatusFaultAndStateWords) {
  const ReceiveEnding& c = GetParam();
  AppState state;
  state.ScratchFilePath = scratchPath;
  state.ActionWord = "leftover";
  state.DownloadOK = c.status != Status::Succeeded;
  std::optional<test::FileSizeLimit> limit;
  switch (c.way) {
    case Way::Completed:
      instrument = std::thread([this] {
        pty.Send("L1\r\nL2\r\n");
        Settle();
        clock.Advance(3s + 1ms);
      });
      break;
    case Way::Cancelled:
      hooks.showCount = [&state](std::int64_t) { state.CancelRequested = true; };
      instrument = std::thread([this] { pty.Send("L1\r\nL2\r\n"); });
      break;
    case Way::DeviceGone:
      instrument = std::thread([this] {
        pty.Send("L1\r\n");
        Settle();
        pty.CloseMaster();
      });
      break;
    case Way::DiskFull:
      // Room for the first line only; the second does not fit.
      limit.emplace(8);
      instrument = std::thread([this] {
        pty.Send("L1\r\n");
        Settle();
        pty.Send("a line that does not fit\r\n");
      });
      break;
    case Way::NoWholeLine:
      instrument = std::thread([this] {
        pty.Send("no carriage return");
        Settle();
        clock.Advance(3s + 1ms);
      });
      break;
  }
  ReceiveResult r = ReceiveData(state, link, scratch, reporter, hooks, clock);
  instrument.join();
  limit.reset();

  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(state.ActionWord, c.actionWord);
  EXPECT_EQ(state.DownloadOK, c.status == Status::Succeeded);
  EXPECT_EQ(test::ReadFileBytes(scratchPath), c.stored);
  EXPECT_FALSE(link.IsOpen());
  ASSERT_EQ(reporter.reports.size(), 1u);
  if (r.ok() || r.status == Status::Cancelled) {
    EXPECT_EQ(r.fault, "");
  } else {
    ASSERT_FALSE(r.fault.empty());
    EXPECT_EQ(reporter.reports[0].title, "Error");
    EXPECT_NE(reporter.reports[0].text.find(r.fault), std::string::npos)
        << reporter.reports[0].text;
  }
  if (c.way == Way::DiskFull) {
    EXPECT_EQ(r.fault.rfind("Cannot write the received data: ", 0), 0u) << r.fault;
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachEnding, ReceiveEndingTest,
    ::testing::Values(
        ReceiveEnding{"Completed", Way::Completed, Status::Succeeded, "", "L1\r\nL2\r\n"},
        ReceiveEnding{"Cancelled", Way::Cancelled, Status::Cancelled, "Stop", "L1\r\n"},
        ReceiveEnding{"DeviceGone", Way::DeviceGone, Status::DeviceLost, "Lathos", "L1\r\n"},
        ReceiveEnding{"DiskFull", Way::DiskFull, Status::OutputFault, "Lathos", "L1\r\n"},
        ReceiveEnding{"NoWholeLine", Way::NoWholeLine, Status::InputFault, "Lathos", ""}),
    [](const ::testing::TestParamInfo<ReceiveEnding>& info) { return info.param.name; });

}  // namespace
}  // namespace korv
