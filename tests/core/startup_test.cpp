// Start-up: command-line words, the settings file recreated after the warning, the per-user
// folder, a settings file that cannot be written, and the splash's minimum time.
#include "core/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/settings.h"
#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

std::string Golden() { return test::ReadFileBytes(fs::path(KORVENIA_TEST_DATA) / "Korvenia.ini"); }

using test::RecordingReporter;

// Records what start-up asks of the windows, with the clock's time of each call.
class RecordingWindows : public StartupWindows {
 public:
  explicit RecordingWindows(const Clock& clock) : clock_(clock) {}
  void ShowSplash() override { Note("ShowSplash"); }
  void ProcessEvents() override { Note("ProcessEvents"); }
  void LoadDownloadWindow() override { Note("LoadDownloadWindow"); }
  void UnloadWindows() override { Note("UnloadWindows"); }
  void ShowMainWindow() override { Note("ShowMainWindow"); }
  void UnloadSplash() override { Note("UnloadSplash"); }

  std::vector<std::string> calls;
  std::vector<Clock::Duration> times;

 private:
  void Note(const char* call) {
    calls.push_back(call);
    times.push_back(clock_.Now());
  }
  const Clock& clock_;
};

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korv_startup_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    options_.executableFolder = (dir_ / "bin").string();
    options_.userFolder = (dir_ / "config" / "Korvenia").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // One start with a manual clock: the splash wait advances it instead of sleeping.
  void Start(const std::string& commandLine) {
    state_ = AppState();
    reporter_ = RecordingReporter();
    windows_ = std::make_unique<RecordingWindows>(clock_);
    options_.commandLine = commandLine;
    Main(state_, options_, *windows_, reporter_, clock_,
         [this](Clock::Duration d) { clock_.Advance(d); });
  }
  fs::path IniBesideExecutable() const { return dir_ / "bin" / "Korvenia.ini"; }

  fs::path dir_;
  StartupOptions options_;
  ManualClock clock_;
  AppState state_;
  RecordingReporter reporter_;
  std::unique_ptr<RecordingWindows> windows_;
};

TEST(CommandLine, WholeTrimmedCaseSensitiveWords) {
  EXPECT_EQ(ParseCommandLine("  Special Setup  "), CommandLineMode::SpecialSetup);
  EXPECT_EQ(ParseCommandLine(" CreateIniFile "), CommandLineMode::CreateIniFile);
  EXPECT_EQ(ParseCommandLine("special setup"), CommandLineMode::Normal);
  EXPECT_EQ(ParseCommandLine("Special  Setup"), CommandLineMode::Normal);
  EXPECT_EQ(ParseCommandLine("CreateIniFile now"), CommandLineMode::Normal);
  EXPECT_EQ(ParseCommandLine(""), CommandLineMode::Normal);
  EXPECT_EQ(JoinArguments({"Special", "Setup"}), "Special Setup");
  EXPECT_EQ(JoinArguments({}), "");
}

TEST_F(Startup, MissingFileIsRecreatedAfterTheWarningAndTheNextStartIsQuiet) {
  Start("");
  ASSERT_EQ(reporter_.reports.size(), 1u);
  EXPECT_EQ(reporter_.reports[0].text,
            "The program is unable to read the saved settings\r\n"
            "Default settings are used instead.");
  EXPECT_EQ(reporter_.reports[0].title, "Warning");
  EXPECT_EQ(reporter_.reports[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(test::ReadFileBytes(IniBesideExecutable()), Golden());
  EXPECT_TRUE(state_.SettingsReadOK);
  EXPECT_FALSE(state_.CreatingIniFile);
  EXPECT_EQ(state_.ProgramFolder, (dir_ / "bin").string() + "/");
  EXPECT_EQ(state_.ScratchFilePath, state_.ProgramFolder + "Brevant.tem");
  EXPECT_DOUBLE_EQ(state_.Pi, 3.14159265358979323846);
  EXPECT_EQ(state_.mainWindow.tabCaptions,
            (std::array<std::string, 3>{"Receive", "Send", "Settings"}));
  EXPECT_EQ(windows_->calls,
            (std::vector<std::string>{"ShowSplash", "ProcessEvents", "UnloadWindows",
                                      "UnloadWindows", "ShowMainWindow", "UnloadSplash"}));

  Start("");
  EXPECT_TRUE(reporter_.reports.empty());
  EXPECT_TRUE(state_.SettingsReadOK);
  EXPECT_EQ(state_.Messages[3], "Settings");
}

TEST_F(Startup, DamagedFileIsReplaced) {
  std::string golden = Golden();
  std::ofstream(IniBesideExecutable(), std::ios::binary)
      << golden.substr(0, golden.find("[Coomunication Port]"));
  Start("");
  ASSERT_EQ(reporter_.reports.size(), 1u);
  EXPECT_EQ(test::ReadFileBytes(IniBesideExecutable()), golden);
}

TEST_F(Startup, CreateIniFileRewritesTheFileWithoutWarning) {
  std::string golden = Golden();
  std::string edited = golden;
  edited.replace(edited.find("1,Receive"), 9, "1,Motta");
  std::ofstream(IniBesideExecutable(), std::ios::binary) << edited;
  Start("CreateIniFile");
  EXPECT_TRUE(reporter_.reports.empty());
  EXPECT_EQ(test::ReadFileBytes(IniBesideExecutable()), golden);
  EXPECT_EQ(state_.mainWindow.tabCaptions[0], "Receive");
  EXPECT_FALSE(state_.SpecialSetupMode);
}

TEST_F(Startup, SpecialSetupLoadsTheDownloadWindow) {
  std::ofstream(IniBesideExecutable(), std::ios::binary) << Golden();
  Start(" Special Setup ");
  EXPECT_TRUE(state_.SpecialSetupMode);
  EXPECT_EQ(windows_->calls[2], "LoadDownloadWindow");
  Start("special setup");
  EXPECT_FALSE(state_.SpecialSetupMode);
}

TEST_F(Startup, ReadOnlyProgramFolderUsesThePerUserFolderAndSaysSoOnce) {
  // A program folder that cannot take a file (here: one that is not a folder).
  fs::remove_all(dir_ / "bin");
  std::ofstream(dir_ / "bin", std::ios::binary) << "not a folder";
  Start("");
  fs::path userIni = dir_ / "config" / "Korvenia" / "Korvenia.ini";
  EXPECT_EQ(state_.IniFilePath, userIni.string());
  ASSERT_EQ(reporter_.reports.size(), 2u);  // where the file is, then the missing-file warning
  EXPECT_NE(reporter_.reports[0].text.find(userIni.string()), std::string::npos);
  EXPECT_EQ(reporter_.reports[0].icon, MessageIcon::Information);
  EXPECT_EQ(test::ReadFileBytes(userIni), Golden());
  EXPECT_EQ(state_.HelpFileName, (dir_ / "bin").string() + "/KorveniaManual.doc");

  Start("");
  EXPECT_TRUE(reporter_.reports.empty());
}

TEST_F(Startup, UnwritableSettingsFileRunsOnWithDefaults) {
  fs::remove_all(dir_ / "bin");
  std::ofstream(dir_ / "bin", std::ios::binary) << "not a folder";
  options_.userFolder.clear();  // nowhere else to go
  Start("");
  ASSERT_EQ(reporter_.reports.size(), 2u);
  EXPECT_EQ(reporter_.reports[0].title, "Warning");
  EXPECT_NE(reporter_.reports[1].text.find("cannot be written"), std::string::npos);
  EXPECT_EQ(reporter_.reports[1].icon, MessageIcon::Critical);
  EXPECT_TRUE(state_.SettingsReadOK);
  EXPECT_EQ(state_.Messages[11], "Error");
  EXPECT_EQ(state_.RawOptionCount, 5);
  EXPECT_EQ(state_.mainWindow.tabCaptions[2], "Settings");
  EXPECT_EQ(windows_->calls.back(), "UnloadSplash");
}

TEST_F(Startup, SplashStaysMoreThanTwoSeconds) {
  std::ofstream(IniBesideExecutable(), std::ios::binary) << Golden();
  clock_.Set(std::chrono::hours(24) - milliseconds(1));  // near the day's end: no jump matters
  Start("");
  ASSERT_EQ(windows_->calls[0], "ShowSplash");
  ASSERT_EQ(windows_->calls[windows_->calls.size() - 2], "ShowMainWindow");
  Clock::Duration shown = windows_->times[windows_->times.size() - 2] - windows_->times[0];
  EXPECT_GT(shown, std::chrono::seconds(2));
  EXPECT_LT(shown, std::chrono::seconds(2) + milliseconds(10));
}

TEST_F(Startup, SlowLoadingDoesNotWaitAgain) {
  std::ofstream(IniBesideExecutable(), std::ios::binary) << Golden();
  int sleeps = 0;
  struct SlowWindows : RecordingWindows {
    SlowWindows(ManualClock& c) : RecordingWindows(c), clock(c) {}
    void LoadDownloadWindow() override { clock.Advance(std::chrono::seconds(3)); }
    ManualClock& clock;
  } windows(clock_);
  options_.commandLine = "Special Setup";
  Main(state_, options_, windows, reporter_, clock_, [&](Clock::Duration) { ++sleeps; });
  EXPECT_EQ(sleeps, 0);
  EXPECT_EQ(windows.calls.back(), "UnloadSplash");
}

}  // namespace
}  // namespace korv
