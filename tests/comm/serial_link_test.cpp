// Opening the link: settings text, port numbers and devices, and the failures that end in
// message 15.
#include "comm/serial_link.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "comm/pty_fixture.h"
#include "core/app_state.h"

namespace korv {
namespace {

using test::PtyPair;
using test::RecordingReporter;

TEST(SerialLinkSettings, TextHandshakingAndDevices) {
  EXPECT_EQ(CommSettingsText("38400", "7"), "38400,n,7,1");
  EXPECT_EQ(CommSettingsText("9600", "8"), "9600,n,8,1");
  EXPECT_EQ(HandshakingFor(0), 0);
  EXPECT_EQ(HandshakingFor(1), 1);
  EXPECT_EQ(HandshakingFor(3), 1);  // an entry an edited settings file added

  const std::string folder = test::TempFolder();
  const std::string ini = folder + "Korvenia.ini";
  test::WriteFileBytes(ini, "[Serial devices]\r\nCOM4=/dev/ttyUSB0\r\n");
  EXPECT_EQ(DeviceForPort(4, ini), "/dev/ttyUSB0");
  EXPECT_EQ(DeviceForPort(1, ini), "/dev/ttyS0");
  EXPECT_EQ(DeviceForPort(2, folder + "missing.ini"), "/dev/ttyS1");
  EXPECT_EQ(DeviceForPort(0, ini), "");
  std::filesystem::remove_all(folder);

  // Port index 3 is port 4 whatever the port list says; texts come from the selections.
  AppState state;
  state.PortIndex = 3;
  state.FlowControlIndex = 2;
  state.mainWindow.stCombComm[0].entries = {"A", "B", "C", "D"};
  state.mainWindow.stCombComm[1].entries = {"1200", "38400"};
  state.mainWindow.stCombComm[1].selected = 1;
  state.mainWindow.stCombComm[2].entries = {"7", "8"};
  state.mainWindow.stCombComm[2].selected = 0;
  LinkSettings s = LinkSettingsFrom(state);
  EXPECT_EQ(s.portNumber, 4);
  EXPECT_EQ(CommSettingsText(s.speedText, s.dataBitsText), "38400,n,7,1");
  EXPECT_EQ(HandshakingFor(s.flowControlIndex), 1);
}

TEST(OpenCommPort, OpensAPortAndReopensAnOpenOne) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  SerialLink link;
  RecordingReporter reporter;
  LinkSettings s;
  s.device = pty.path();
  s.speedText = "9600";
  EXPECT_EQ(OpenCommPort(link, s, "", reporter), "");
  EXPECT_TRUE(link.IsOpen());
  EXPECT_EQ(link.baudRate(), 9600);
  s.speedText = "38400";
  EXPECT_EQ(OpenCommPort(link, s, "", reporter), "");
  EXPECT_TRUE(link.IsOpen());
  EXPECT_EQ(link.baudRate(), 38400);
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(OpenCommPort, DeviceFromTheSettingsFileByPortNumber) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  const std::string folder = test::TempFolder();
  AppState state;
  state.IniFilePath = folder + "Korvenia.ini";
  test::WriteFileBytes(state.IniFilePath, "[Serial devices]\r\nCOM2=" + pty.path() + "\r\n");
  state.PortIndex = 1;
  state.mainWindow.stCombComm[1] = {{"19200"}, 0, true};
  state.mainWindow.stCombComm[2] = {{"8"}, 0, true};
  state.ActionWord = "old";
  SerialLink link;
  RecordingReporter reporter;
  OpenCommPort(link, state, reporter);
  EXPECT_EQ(state.ActionWord, "");
  EXPECT_TRUE(link.IsOpen());
  EXPECT_EQ(link.device(), pty.path());
  std::filesystem::remove_all(folder);
}

TEST(OpenCommPort, FailuresGiveMessage15AndLeaveThePortClosed) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  struct Case {
    const char* what;
    std::string device;
    std::string speed;
    int code;
  };
  const Case cases[] = {
      {"no such device", "/dev/korvenia-no-such-port", "9600", CommErrorCode::kInvalidPort},
      {"a plain file", "/etc/hostname", "9600", CommErrorCode::kUnsupported},
      {"speed text the port cannot take", pty.path(), "fast", CommErrorCode::kBadSettings},
      {"empty speed text", pty.path(), "", CommErrorCode::kBadSettings},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SerialLink link;
    RecordingReporter reporter;
    LinkSettings s;
    s.device = c.device;
    s.speedText = c.speed;
    const std::string word = OpenCommPort(link, s, "", reporter);
    EXPECT_EQ(word, std::to_string(c.code));
    EXPECT_FALSE(link.IsOpen());
    ASSERT_EQ(reporter.reports.size(), 1u);
    // Message 15, then the fault, which names the device the user has to check.
    EXPECT_EQ(reporter.reports[0].text,
              "The communication port could not be opened.\n" + link.faultText());
    EXPECT_NE(link.faultText().find(c.device), std::string::npos) << link.faultText();
    EXPECT_EQ(reporter.reports[0].title, "Error");
    EXPECT_EQ(reporter.reports[0].icon, MessageIcon::Critical);
  }
}

TEST(OpenCommPort, PortOpenElsewhereIsRefused) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  SerialLink first;
  SerialLink second;
  RecordingReporter reporter;
  LinkSettings s;
  s.device = pty.path();
  ASSERT_EQ(OpenCommPort(first, s, "", reporter), "");
  EXPECT_EQ(OpenCommPort(second, s, "", reporter), std::to_string(CommErrorCode::kPortInUse));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_TRUE(first.IsOpen());
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_NE(reporter.reports[0].text.find("The port " + pty.path() + " is in use"),
            std::string::npos)
      << reporter.reports[0].text;
}

// A user outside the device's group is told which group to join. The open runs in a child
// process that has given up root for "nobody".
TEST(OpenCommPort, PermissionDeniedNamesTheGroupThatOwnsTheDevice) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the device to another group";
  const ::group* dialout = getgrnam("dialout");
  if (!dialout) GTEST_SKIP() << "no group dialout";
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(chown(pty.path().c_str(), 0, dialout->gr_gid), 0);
  ASSERT_EQ(chmod(pty.path().c_str(), 0660), 0);
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeEnds[0]);
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    SerialLink link;
    RecordingReporter reporter;
    LinkSettings s;
    s.device = pty.path();
    const std::string word = OpenCommPort(link, s, "", reporter);
    const std::string text =
        word + "|" + (reporter.reports.empty() ? "" : reporter.reports[0].text);
    const ssize_t written = write(pipeEnds[1], text.data(), text.size());
    _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 3);
  }
  close(pipeEnds[1]);
  std::string got;
  char buffer[512];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) got.append(buffer, n);
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(got, std::to_string(CommErrorCode::kPortInUse) +
                     "|The communication port could not be opened.\nNo permission to use " +
                     pty.path() +
                     ": your user must be in the group \"dialout\" that owns the device (on "
                     "Debian: sudo adduser $USER dialout), then log in again.");
}

}  // namespace
}  // namespace korv
