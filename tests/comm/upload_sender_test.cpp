// Upload sender on a real pseudo-terminal: what goes out, XON/XOFF pauses, the last line
// held back at the end, cancel, a vanishing device, and the Send button's dispatch with the
// status of each ending and the word it leaves for the windows.
#include "comm/upload_sender.h"

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

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

class UploadSenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    folder = test::TempFolder();
    scratchPath = folder + "Brevant.tem";
    ASSERT_TRUE(link.Open(pty.path(), "38400,n,8,1", 1)) << link.faultText();
  }
  void TearDown() override {
    if (instrument.joinable()) instrument.join();
    std::filesystem::remove_all(folder);
  }

  // The instrument reads until it has `size` bytes or a few seconds passed; `onBytes` may
  // pause the sender.
  void Receive(size_t size, std::function<void(size_t)> onBytes = nullptr) {
    instrument = std::thread([this, size, onBytes] {
      const auto end = std::chrono::steady_clock::now() + 10s;
      char buf[512];
      while (received.size() < size && std::chrono::steady_clock::now() < end) {
        pollfd p{pty.master(), POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        ssize_t n = read(pty.master(), buf, sizeof buf);
        if (n <= 0) break;
        received.append(buf, static_cast<size_t>(n));
        if (onBytes) onBytes(received.size());
      }
    });
  }

  // The instrument holds the sender with XOFF for `length`, then releases it with XON.
  // Bytes already under way when XOFF went out may still arrive; nothing else may.
  void Pause(std::chrono::milliseconds length) {
    ASSERT_EQ(write(pty.master(), &kXoff, 1), 1);
    std::this_thread::sleep_for(50ms);
    received += pty.ReadAll(20ms);
    std::this_thread::sleep_for(length);
    std::string during = pty.ReadAll(1ms);
    pausedGrowth += during.size();
    received += during;
    ++pauses;
    ASSERT_EQ(write(pty.master(), &kXon, 1), 1);
  }

  PtyPair pty;
  SerialLink link;
  std::string folder;
  std::string scratchPath;
  bool cancel = true;
  std::string received;
  size_t pausedGrowth = 0;
  int pauses = 0;
  std::thread instrument;
};

TEST_F(UploadSenderTest, TrimmedLinesWithCrLfBlankLinesSkipped) {
  test::WriteFileBytes(scratchPath, "  P1,1,2,3,C  \r\n\r\n   \r\nP2,4,5,6,\nlast");
  std::vector<std::pair<int, int>> progress;
  UploadHooks hooks;
  hooks.progress = [&](int v, int max) { progress.emplace_back(v, max); };
  Receive(29);
  UploadResult r = UploadTempFile(link, scratchPath, 6, cancel, hooks);
  instrument.join();
  EXPECT_EQ(r.status, Status::Succeeded);
  EXPECT_EQ(r.linesSent, 3);
  EXPECT_EQ(received, "P1,1,2,3,C\r\nP2,4,5,6,\r\nlast\r\n");
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 6}, {1, 6}, {2, 6}, {3, 6}}));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_FALSE(cancel);
}

TEST_F(UploadSenderTest, XoffPausesAndXonResumesWithoutLossOrRepeat) {
  // More than the pseudo-terminal buffers, so the sender still holds data at each pause.
  std::string scratch;
  for (int i = 0; i < 8000; ++i) {
    scratch += "PT" + std::to_string(i) + ",6543210.123,123456.789,45.678,KERB\r\n";
  }
  test::WriteFileBytes(scratchPath, scratch);
  size_t nextPause = 2000;
  Receive(scratch.size(), [&](size_t have) {
    if (have >= nextPause && pauses < 3) {
      nextPause = have + 100000;
      Pause(300ms);
    }
  });
  UploadResult r = UploadTempFile(link, scratchPath, 8002, cancel);
  instrument.join();
  EXPECT_EQ(r.status, Status::Succeeded);
  EXPECT_EQ(pauses, 3);
  EXPECT_EQ(pausedGrowth, 0u) << "bytes arrived while the instrument held XOFF";
  EXPECT_EQ(received.size(), scratch.size());
  EXPECT_TRUE(received == scratch) << "lost, repeated or reordered bytes";
}

TEST_F(UploadSenderTest, PortIsClosedOnlyAfterTheHeldLinesLeft) {
  const std::string lines = "FIRST,1,2,3,A\r\nLAST,4,5,6,B\r\n";
  test::WriteFileBytes(scratchPath, lines);
  // The instrument holds the line before the upload starts and releases it later.
  ASSERT_EQ(write(pty.master(), &kXoff, 1), 1);
  std::this_thread::sleep_for(50ms);
  instrument = std::thread([this] {
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(write(pty.master(), &kXon, 1), 1);
    received = pty.ReadAll(300ms);
  });
  int events = 0;
  UploadHooks hooks;
  hooks.processEvents = [&events] { ++events; };
  const auto start = std::chrono::steady_clock::now();
  UploadResult r = UploadTempFile(link, scratchPath, 4, cancel, hooks);
  const auto took = std::chrono::steady_clock::now() - start;
  instrument.join();
  EXPECT_EQ(r.status, Status::Succeeded);
  EXPECT_EQ(received, lines);
  EXPECT_GE(took, 400ms);
  EXPECT_GT(events, 10) << "window events must run while the held lines wait to leave";
}

TEST_F(UploadSenderTest, CancelStopsBetweenLines) {
  test::WriteFileBytes(scratchPath, "L1\r\nL2\r\nL3\r\nL4\r\n");
  UploadHooks hooks;
  hooks.progress = [&](int v, int) {
    if (v == 2) cancel = true;
  };
  Receive(8);
  UploadResult r = UploadTempFile(link, scratchPath, 4, cancel, hooks);
  instrument.join();
  EXPECT_EQ(r.status, Status::Cancelled);
  EXPECT_EQ(r.linesSent, 2);
  EXPECT_EQ(received + pty.ReadAll(200ms), "L1\r\nL2\r\n");
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(UploadSenderTest, CancelWhileTheInstrumentHoldsTheLine) {
  test::WriteFileBytes(scratchPath, "L1\r\nL2\r\n");
  ASSERT_EQ(write(pty.master(), &kXoff, 1), 1);
  std::this_thread::sleep_for(50ms);
  int events = 0;
  UploadHooks hooks;
  hooks.processEvents = [&] {
    if (++events == 5) cancel = true;
  };
  UploadResult r = UploadTempFile(link, scratchPath, 4, cancel, hooks);
  EXPECT_EQ(r.status, Status::Cancelled);
  EXPECT_EQ(r.linesSent, 0);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(pty.ReadAll(100ms), "");
}

TEST_F(UploadSenderTest, CancelWhileALineIsHalfOutFinishesItAndCountsWhatLeft) {
  // Far more than the pseudo-terminal buffers: while the instrument does not read, the
  // sender is held in the middle of a line, and the user cancels then.
  std::string scratch;
  for (int i = 0; i < 2000; ++i) {
    scratch += "PT" + std::to_string(i) + ",6543210.123,123456.789,45.678,KERB\r\n";
  }
  test::WriteFileBytes(scratchPath, scratch);
  int heldLooks = 0;
  UploadHooks hooks;
  hooks.processEvents = [&] {
    if (link.BytesToWrite() == 0 || ++heldLooks != 20) return;
    cancel = true;
    instrument = std::thread([this] {
      std::this_thread::sleep_for(200ms);
      received = pty.ReadAll(500ms);
    });
  };
  UploadResult r = UploadTempFile(link, scratchPath, 2002, cancel, hooks);
  instrument.join();
  received += pty.ReadAll(100ms);
  EXPECT_EQ(r.status, Status::Cancelled);
  EXPECT_FALSE(link.IsOpen());
  ASSERT_FALSE(received.empty());
  EXPECT_LT(received.size(), scratch.size());
  EXPECT_EQ(received.back(), '\n') << "a cut line arrived";
  EXPECT_TRUE(scratch.compare(0, received.size(), received) == 0);
  long lines = 0;
  for (char c : received) lines += c == '\n';
  EXPECT_EQ(r.linesSent, lines) << "the count must be what the instrument received";
  EXPECT_EQ(r.bytesSent, static_cast<long long>(received.size()));
}

TEST_F(UploadSenderTest, VanishingDeviceEndsWithoutSuccess) {
  std::string scratch;
  for (int i = 0; i < 2000; ++i) scratch += "LINE" + std::to_string(i) + ",1,2,3,CODE\r\n";
  test::WriteFileBytes(scratchPath, scratch);
  Receive(100, [&](size_t have) {
    if (have >= 100) pty.CloseMaster();
  });
  UploadResult r = UploadTempFile(link, scratchPath, 2002, cancel);
  instrument.join();
  EXPECT_EQ(r.status, Status::DeviceLost);
  EXPECT_NE(r.fault.find("Device unavailable"), std::string::npos) << r.fault;
  EXPECT_LT(r.linesSent, 2000);
  EXPECT_FALSE(link.IsOpen());
}

class SendUpLoadFileTest : public UploadSenderTest {
 protected:
  void SetUp() override {
    UploadSenderTest::SetUp();
    state.ScratchFilePath = scratchPath;
    state.IniFilePath = folder + "Korvenia.ini";
    test::WriteFileBytes(state.IniFilePath,
                         "[Coordinate UpLoad Settings]\r\nField1= 1\r\nField2= 2\r\n"
                         "Field3= 0\r\nField4= 3\r\nField5= 4\r\nSeparator=0\r\n");
  }
  AppState state;
  RecordingReporter reporter;
};

TEST_F(SendUpLoadFileTest, CoordinateFileWithSavedColumnsIsSent) {
  const std::string source = folder + "points.asc";
  test::WriteFileBytes(source, "100.5,200.25,P1,10,KERB\r\n");
  state.SettingsActionWord = "Comma";
  state.CoordOrderIndex = 1;
  Receive(25);
  UploadResult r = SendUpLoadFile(state, link, source, reporter);
  instrument.join();
  EXPECT_EQ(state.SettingsActionWord, "UpOK");
  EXPECT_EQ(r.linesSent, 1);
  EXPECT_EQ(received, "P1,200.25,100.5,10,KERB\r\n");
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].text, "The data was uploaded successfully.");
  EXPECT_EQ(reporter.reports[0].title, "Finished");
  EXPECT_EQ(reporter.reports[0].icon, MessageIcon::None);
}

TEST_F(SendUpLoadFileTest, ShortCodeListIsNotSent) {
  const std::string source = folder + "codes.txt";
  test::WriteFileBytes(source, "KERB\r\nTREE\r\n");
  state.SettingsActionWord = "UpLoadVXL";
  UploadResult r = SendUpLoadFile(state, link, source, reporter);
  EXPECT_EQ(state.SettingsActionWord, "UpLoadVXL");  // not "UpOK": the upload was aborted
  EXPECT_EQ(r.status, Status::InputFault);
  EXPECT_EQ(r.linesSent, 0);
  EXPECT_TRUE(reporter.reports.empty());
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(pty.ReadAll(100ms), "");
}

TEST_F(SendUpLoadFileTest, UnreadableSourceEndsWithEsc) {
  state.SettingsActionWord = "UpLoadKOF";
  UploadResult r = SendUpLoadFile(state, link, folder + "missing.kof", reporter);
  EXPECT_EQ(r.status, Status::InputFault);
  EXPECT_EQ(state.SettingsActionWord, "Esc");
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].title, "Error");
  EXPECT_NE(reporter.reports[0].text.find("missing.kof"), std::string::npos);
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(SendUpLoadFileTest, UnknownWordDoesNothing) {
  state.SettingsActionWord = "UpLoadCoord";
  EXPECT_FALSE(SendUpLoadFile(state, link, folder + "x", reporter).ok());
  EXPECT_EQ(state.SettingsActionWord, "UpLoadCoord");
  EXPECT_TRUE(link.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(scratchPath));
}

// Each way an upload ends, through the Send button's dispatch: the status, the fault the
// user is told (and nothing else), and the word left for the windows.
enum class Way { Completed, Cancelled, DeviceGone, Stalled, SourceMissing, DiskFull };

struct UploadEnding {
  const char* name;
  Way way;
  Status status;
  const char* settingsActionWord;
};

class UploadEndingTest : public SendUpLoadFileTest,
                         public ::testing::WithParamInterface<UploadEnding> {};

TEST_P(UploadEndingTest, StatusFaultAndStateWord) {
  const UploadEnding& c = GetParam();
  std::string source = folder + "codes.txt";
  test::WriteFileBytes(source, "KERB\r\nTREE\r\nWALL\r\n");
  state.SettingsActionWord = "UpLoadVXL";
  UploadHooks hooks;
  UploadOptions options;
  std::optional<test::FileSizeLimit> limit;
  switch (c.way) {
    case Way::Completed:
      Receive(18);
      break;
    case Way::Cancelled:
      hooks.progress = [this](int sent, int) {
        if (sent == 1) state.CancelRequested = true;
      };
      Receive(6);
      break;
    case Way::DeviceGone: {
      // Far more than a pseudo-terminal buffers, so the sender cannot have handed every line
      // to the kernel before the instrument goes, however slowly the instrument reads.
      std::string many;
      for (int i = 0; i < 200000; ++i) many += "CODE" + std::to_string(i) + "\r\n";
      test::WriteFileBytes(source, many);
      Receive(100, [this](size_t have) {
        if (have >= 100) pty.CloseMaster();
      });
      break;
    }
    case Way::Stalled:
      // The instrument holds the line and never lets go.
      ASSERT_EQ(write(pty.master(), &kXoff, 1), 1);
      std::this_thread::sleep_for(50ms);
      options.stallLimit = 300ms;
      break;
    case Way::SourceMissing:
      source = folder + "missing.txt";
      break;
    case Way::DiskFull:
      // The upload file gets no further than its first line.
      limit.emplace(6);
      break;
  }
  UploadResult r = SendUpLoadFile(state, link, source, reporter, hooks, options);
  limit.reset();
  if (instrument.joinable()) instrument.join();

  EXPECT_EQ(r.status, c.status) << r.fault;
  EXPECT_EQ(state.SettingsActionWord, c.settingsActionWord);
  EXPECT_FALSE(link.IsOpen());
  if (r.ok()) {
    EXPECT_EQ(received, "KERB\r\nTREE\r\nWALL\r\n");
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].text, "The data was uploaded successfully.");
  } else if (r.status == Status::Cancelled) {
    EXPECT_EQ(received, "KERB\r\n");
    EXPECT_EQ(r.fault, "");
    EXPECT_TRUE(reporter.reports.empty());
  } else {
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].text, r.fault);
    EXPECT_EQ(reporter.reports[0].title, "Error");
  }
  if (c.way == Way::Stalled) {
    EXPECT_NE(r.fault.find("held the line"), std::string::npos) << r.fault;
    EXPECT_EQ(r.linesSent, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachEnding, UploadEndingTest,
    ::testing::Values(UploadEnding{"Completed", Way::Completed, Status::Succeeded, "UpOK"},
                      UploadEnding{"Cancelled", Way::Cancelled, Status::Cancelled, "Esc"},
                      UploadEnding{"DeviceGone", Way::DeviceGone, Status::DeviceLost, "Esc"},
                      UploadEnding{"Stalled", Way::Stalled, Status::TimedOut, "Esc"},
                      UploadEnding{"SourceMissing", Way::SourceMissing, Status::InputFault, "Esc"},
                      UploadEnding{"DiskFull", Way::DiskFull, Status::OutputFault, "Esc"}),
    [](const ::testing::TestParamInfo<UploadEnding>& info) { return info.param.name; });

}  // namespace
}  // namespace korv
