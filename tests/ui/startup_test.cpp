// Start-up through the desktop program's own windows: the settings file recreated after the
// warning with the unreadable one kept beside it, a file that cannot be written, the per-user
// folder, special setup mode loading the download window and saving a translated file without
// losing what it cannot edit, and the splash's minimum time.
#include "core/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "core/key_store.h"
#include "core/settings.h"
#include "ui/app_windows.h"
#include "ui/download_window.h"
#include "ui/f_dattr.h"
#include "scripted_prompts.h"
#include "ui_fixture.h"

namespace korv {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

std::string Golden() { return ReadFileBytes(test::DataPath("Korvenia.ini")); }

// The program's own windows, noting each call start-up makes with the clock's time.
class RecordingWindows : public AppWindows {
 public:
  RecordingWindows(UiContext& ctx, const Clock& clock) : AppWindows(ctx), clock_(clock) {}
  void ShowSplash() override {
    Note("ShowSplash");
    AppWindows::ShowSplash();
  }
  void ProcessEvents() override {
    Note("ProcessEvents");
    AppWindows::ProcessEvents();
  }
  void LoadDownloadWindow() override {
    Note("LoadDownloadWindow");
    if (beforeDownloadWindow) beforeDownloadWindow();
    AppWindows::LoadDownloadWindow();
  }
  void UnloadWindows() override {
    Note("UnloadWindows");
    AppWindows::UnloadWindows();
  }
  void ShowMainWindow() override {
    Note("ShowMainWindow");
    AppWindows::ShowMainWindow();
  }
  void UnloadSplash() override {
    Note("UnloadSplash");
    AppWindows::UnloadSplash();
  }

  std::function<void()> beforeDownloadWindow;
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
           ("korv_ui_startup_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    options_.executableFolder = (dir_ / "bin").string();
    options_.userFolder = (dir_ / "config" / "Korvenia").string();
    options_.now = [] {
      std::tm t{};
      t.tm_year = 2026 - 1900;
      t.tm_mon = 2;
      t.tm_mday = 14;
      t.tm_hour = 9;
      t.tm_min = 26;
      t.tm_sec = 53;
      return t;
    };
  }
  void TearDown() override {
    windows_.reset();
    std::error_code ec;
    fs::permissions(IniBesideExecutable(), fs::perms::owner_read | fs::perms::owner_write, ec);
    fs::remove_all(dir_);
  }

  // One start with a manual clock: the splash wait advances it instead of sleeping.
  void Start(const std::string& commandLine) {
    FreshWindows();
    options_.commandLine = commandLine;
    Main(state_, options_, *windows_, ctx_->reporter, clock_,
         [this](Clock::Duration d) { clock_.Advance(d); });
  }
  // A start as the desktop program's main makes it, with the program's arguments.
  void StartWith(const std::vector<std::string>& args) {
    FreshWindows();
    StartDesktop(state_, options_, args, *windows_, ctx_->reporter, clock_,
                 [this](Clock::Duration d) { clock_.Advance(d); });
  }
  void FreshWindows() {
    windows_.reset();
    state_ = AppState();
    prompts_ = ScriptedPrompts();
    ctx_ = std::make_unique<UiContext>(state_, prompts_, dialogs_);
    ctx_->endProgram = [] {};
    windows_ = std::make_unique<RecordingWindows>(*ctx_, clock_);
  }
  fs::path IniBesideExecutable() const { return dir_ / "bin" / "Korvenia.ini"; }
  std::string TabText(int tab) const {
    return windows_->MainWindow()->MainTab->tabText(tab).toStdString();
  }
  std::vector<ScriptedPrompts::ShownMessage>& Reports() { return prompts_.messages; }

  fs::path dir_;
  StartupOptions options_;
  ManualClock clock_;
  AppState state_;
  ScriptedPrompts prompts_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<UiContext> ctx_;
  std::unique_ptr<RecordingWindows> windows_;
};

const std::string kWarning =
    "The program is unable to read the saved settings\r\nDefault settings are used instead.";

TEST_F(Startup, MissingFileIsRecreatedAfterTheWarningAndTheNextStartIsQuiet) {
  Start("");
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0].text, kWarning);  // nothing to keep
  EXPECT_EQ(Reports()[0].title, "Warning");
  EXPECT_EQ(Reports()[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(ReadFileBytes(IniBesideExecutable()), Golden());
  // Nothing kept beside the new file; the window holds the folder's lock while it is open.
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(dir_ / "bin"))
    entries.push_back(entry.path().filename().string());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"Korvenia.ini", "Korvenia.lock"}));
  EXPECT_TRUE(state_.SettingsReadOK);
  EXPECT_FALSE(state_.CreatingIniFile);
  EXPECT_EQ(state_.ProgramFolder, (dir_ / "bin").string() + "/");
  EXPECT_EQ(state_.ScratchFilePath, state_.ProgramFolder + "Brevant.tem");
  EXPECT_DOUBLE_EQ(state_.Pi, 3.14159265358979323846);
  EXPECT_EQ(windows_->calls,
            (std::vector<std::string>{"ShowSplash", "ProcessEvents", "UnloadWindows",
                                      "UnloadWindows", "ShowMainWindow", "UnloadSplash"}));
  ASSERT_NE(windows_->MainWindow(), nullptr);
  EXPECT_TRUE(windows_->MainWindow()->isVisible());
  EXPECT_EQ(windows_->Splash(), nullptr);
  EXPECT_EQ(TabText(0) + "|" + TabText(1) + "|" + TabText(2), "Receive|Send|Settings");

  Start("");
  EXPECT_TRUE(Reports().empty());
  EXPECT_TRUE(state_.SettingsReadOK);
  EXPECT_EQ(state_.Messages[3], "Settings");
}

// A second program on the same settings folder, started while the first window is open,
// says why and ends without a window: the two would share the scratch file, and one's Exit or
// download would destroy what the other receives. Once the first has ended, a start opens.
TEST_F(Startup, ASecondInstanceOnTheSameFolderEndsAndSaysWhy) {
  Start("");
  ASSERT_NE(windows_->MainWindow(), nullptr);
  AppState state;
  ScriptedPrompts prompts;
  UiContext ctx(state, prompts, dialogs_);
  bool ended = false;
  ctx.endProgram = [&ended] { ended = true; };
  RecordingWindows second(ctx, clock_);
  Main(state, options_, second, ctx.reporter, clock_,
       [this](Clock::Duration d) { clock_.Advance(d); });
  EXPECT_EQ(second.MainWindow(), nullptr);
  EXPECT_TRUE(ended);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Korvenia is already running with the settings in " + state.ProgramFolder +
                ". A second window would share its scratch file and overwrite the data the first "
                "one receives.");
  EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Exclamation);

  windows_.reset();
  Start("");
  EXPECT_NE(windows_->MainWindow(), nullptr);
}

// "korvenia FILE", as a file manager's "Open with" starts it: FILE is the file to convert, its
// kind from its content; a file that is not there is told as a dropped one is.
TEST_F(Startup, AFileArgumentIsTheFileToConvert) {
  const std::string points = (dir_ / "points.txt").string();
  WriteFileBytes(points, "P1,100.000,200.000,10.000,TREE\r\n");
  Start("");  // the settings file made
  StartWith({points});
  const F_DatTr* shown = windows_->MainWindow();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(Reports().empty());
  EXPECT_TRUE(shown->OpSourse[1]->isChecked());
  EXPECT_TRUE(shown->OpReceive[1]->isChecked());
  EXPECT_EQ(shown->ComFileName->text().toStdString(), "points.txt");
  EXPECT_EQ(state_.JobPath, dir_.string() + "/");

  const std::string gone = (dir_ / "gone.raw").string();
  StartWith({gone});
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0].text, gone + " does not exist or cannot be read.");
  EXPECT_TRUE(windows_->MainWindow()->OpSourse[0]->isChecked());

  // The command-line words keep their meaning, as one argument or as two.
  StartWith({"Special", "Setup"});
  EXPECT_TRUE(state_.SpecialSetupMode);
  EXPECT_EQ(FileArgument({"Special Setup"}), "");
  EXPECT_EQ(FileArgument({"CreateIniFile"}), "");
  EXPECT_EQ(FileArgument({points, points}), "");
}

TEST_F(Startup, AnUnreadableFileIsKeptBesideTheNewOneAndTheWarningNamesIt) {
  const std::string golden = Golden();
  std::string utf16 = "\xFF\xFE";  // another editor's save, byte-order mark first
  for (char c : golden) utf16 += std::string{c, '\0'};
  const std::string ini = IniBesideExecutable().string();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"one bad value", golden.substr(0, golden.find("FontBold=False")) + "FontBold=Yes" +
                            golden.substr(golden.find("FontBold=False") + 14)},
      {"cut short", golden.substr(0, golden.find("[Coomunication Port]"))},
      {"UTF-16", utf16},
  };
  // The first copy takes the plain name, later ones the time (and a number when that is taken).
  const std::string names[] = {ini + ".bad", ini + ".20260314-092653.bad",
                               ini + ".20260314-092653-2.bad"};
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].first);
    WriteFileBytes(ini, cases[i].second);
    Start("");
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].text,
              kWarning + "\r\nThe file that could not be read is kept as " + names[i]);
    EXPECT_EQ(ReadFileBytes(names[i]), cases[i].second);
    EXPECT_EQ(ReadFileBytes(ini), golden);
    EXPECT_EQ(TabText(0), "Receive");
    for (size_t j = 0; j < i; ++j) EXPECT_EQ(ReadFileBytes(names[j]), cases[j].second);
  }
}

TEST_F(Startup, CreateIniFileOnAFileThatCannotBeWrittenUsesItAsItIs) {
  std::string edited = Golden();
  edited.replace(edited.find("1,Receive"), 9, "1,Motta");
  WriteFileBytes(IniBesideExecutable(), edited);
  fs::permissions(IniBesideExecutable(), fs::perms::owner_read);
  Start("CreateIniFile");
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0].text, "The settings file " + IniBesideExecutable().string() +
                                   " cannot be written.\r\nIt is left as it is and used as it is.");
  EXPECT_EQ(Reports()[0].icon, MessageIcon::Critical);
  EXPECT_EQ(ReadFileBytes(IniBesideExecutable()), edited);
  EXPECT_EQ(TabText(0), "Motta");

  // A file that can be written is rewritten without a word.
  fs::permissions(IniBesideExecutable(), fs::perms::owner_read | fs::perms::owner_write);
  Start("CreateIniFile");
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(ReadFileBytes(IniBesideExecutable()), Golden());
  EXPECT_EQ(TabText(0), "Receive");
  EXPECT_FALSE(state_.SpecialSetupMode);
}

TEST_F(Startup, ReadOnlyProgramFolderUsesThePerUserFolderAndSaysSoOnce) {
  // A program folder that cannot take a file (here: one that is not a folder).
  fs::remove_all(dir_ / "bin");
  WriteFileBytes(dir_ / "bin", "not a folder");
  Start("");
  fs::path userIni = dir_ / "config" / "Korvenia" / "Korvenia.ini";
  EXPECT_EQ(state_.IniFilePath, userIni.string());
  ASSERT_EQ(Reports().size(), 2u);  // where the file is, then the missing-file warning
  EXPECT_NE(Reports()[0].text.find(userIni.string()), std::string::npos);
  EXPECT_EQ(Reports()[0].icon, MessageIcon::Information);
  EXPECT_EQ(ReadFileBytes(userIni), Golden());
  EXPECT_EQ(state_.HelpFileName, (dir_ / "bin").string() + "/KorveniaManual.doc");

  Start("");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(Startup, UnwritableSettingsFileRunsOnWithDefaults) {
  fs::remove_all(dir_ / "bin");
  WriteFileBytes(dir_ / "bin", "not a folder");
  options_.userFolder.clear();  // nowhere else to go
  Start("CreateIniFile");       // a missing file: only the load's failure speaks
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_EQ(Reports()[0].text, kWarning);
  EXPECT_EQ(Reports()[1].text, "The settings file " + state_.IniFilePath +
                                   " cannot be written.\r\nThe program runs with the default "
                                   "settings; changes will not be kept.");
  EXPECT_EQ(Reports()[1].icon, MessageIcon::Critical);
  EXPECT_TRUE(state_.SettingsReadOK);
  EXPECT_EQ(state_.Messages[11], "Error");
  EXPECT_EQ(state_.RawOptionCount, 5);
  EXPECT_EQ(TabText(2), "Settings");
  EXPECT_EQ(windows_->calls.back(), "UnloadSplash");
}

TEST_F(Startup, SpecialSetupLoadsTheDownloadWindowHiddenWithTheFilesTexts) {
  IniFile ini = IniFile::FromBytes(Golden());
  ini.Set("DL_Form", "Caption", "Nedlasting");
  ini.Set("DL_ComCancel", "Caption", "&Avbryt");
  WriteFileBytes(IniBesideExecutable(), ini.ToBytes());
  Start(" Special Setup ");
  EXPECT_TRUE(state_.SpecialSetupMode);
  EXPECT_EQ(windows_->calls[2], "LoadDownloadWindow");
  F_DL* download = windows_->DownloadWindow();
  ASSERT_NE(download, nullptr);
  EXPECT_FALSE(download->isVisible());
  EXPECT_EQ(download->windowTitle().toStdString(), "Nedlasting");
  EXPECT_EQ(download->ComCancel->text().toStdString(), "&Avbryt");
  EXPECT_EQ(state_.controls.at("DL_ComCancel").caption, "&Avbryt");
  EXPECT_TRUE(windows_->MainWindow()->Command1->isVisible());

  Start("special setup");
  EXPECT_FALSE(state_.SpecialSetupMode);
  EXPECT_EQ(windows_->DownloadWindow(), nullptr);
}

// What a settings file says, line by line: every key's value (numbers compared as numbers) and
// every list's entries in order. Sections of the same name add up, as the file holds the
// coordinate dialogs' shared records twice.
using FileMeaning = std::map<std::string, std::vector<std::string>>;

const std::set<std::string> kListSections = {"[Vexal RAW data options]",
                                             "[Coortinate data options]",
                                             "[Vexal RAW data options file]",
                                             "[Coortinate data options file]",
                                             "[Send data format]",
                                             "[Coomunication Port]",
                                             "[Coomunication Speed]",
                                             "[Coomunication Data bits]",
                                             "[Coomunication Flow control]",
                                             "[Coordinate order]",
                                             "[Coordinate labes]",
                                             "[Messages for file types]",
                                             "[Messages]"};

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

FileMeaning MeaningOf(const std::string& bytes) {
  FileMeaning meaning;
  std::string section;
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t end = std::min(bytes.find("\r\n", pos), bytes.size());
    const std::string line = Trimmed(bytes.substr(pos, end - pos));
    pos = end + 2;
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line;
      continue;
    }
    if (kListSections.count(section)) {
      meaning[section].push_back(line);
      continue;
    }
    const size_t eq = line.find('=');
    std::string value = Trimmed(line.substr(eq + 1));
    char* rest = nullptr;
    const double number = std::strtod(value.c_str(), &rest);
    if (!value.empty() && rest && *rest == '\0') value = std::to_string(number);
    meaning[section + Trimmed(line.substr(0, eq))].push_back(value);
  }
  return meaning;
}

// Every text of `golden` translated and every choice and converter setting changed.
std::string TranslatedFile(const std::string& golden) {
  std::string out, section;
  size_t pos = 0;
  while (pos < golden.size()) {
    const size_t end = std::min(golden.find("\r\n", pos), golden.size());
    std::string line = golden.substr(pos, end - pos);
    pos = end + 2;
    const size_t eq = line.find('=');
    if (!line.empty() && line[0] == '[') {
      section = line;
    } else if (section == "[Messages]" && !line.empty()) {
      const size_t comma = line.find(',');
      line = line.substr(0, comma + 1) + "\xC2\xAB" + line.substr(comma + 1) +
             "\xC2\xBB p\xC3\xA5 norsk";
    } else if (kListSections.count(section) && !Trimmed(line).empty()) {
      line = "\xC3\x98 " + line;
    } else if (eq != std::string::npos && section != "[Default]") {
      const std::string key = line.substr(0, eq);
      const std::string value = line.substr(eq + 1);
      char* rest = nullptr;
      const double number = std::strtod(value.c_str(), &rest);
      if (key == "Caption" || key == "ToolTipText" || section == "[ToolTipsText CommandSetting]") {
        line = key + "=" + "\xC2\xAB" + value + "\xC2\xBB p\xC3\xA5 norsk";
      } else if (key.rfind("Font", 0) == 0 || key == "Height" || key == "Width") {
        // sizes and fonts as they are
      } else if (!Trimmed(value).empty() && rest && Trimmed(rest).empty()) {
        line = key + "=" + std::to_string(static_cast<int>(number) + 1);
      } else {
        line = key + "=Tr\xC3\xB8ndelag " + value;
      }
    }
    out += line + "\r\n";
  }
  IniFile ini = IniFile::FromBytes(out);
  const std::pair<const char*, const char*> choices[] = {{"JobPath", "/srv/m\xC3\xA5linger/jobb"},
                                                         {"SaveAsPath", "/srv/ut"},
                                                         {"UpLoadPath", "/srv/inn"},
                                                         {"ProgramEditor", "/usr/bin/kate"},
                                                         {"OpReceive", "1"},
                                                         {"ComboDataFormatC", "2"},
                                                         {"ComboDataFormatNFile", "1"},
                                                         {"CheckOrigDF", "1"},
                                                         {"Port", "1"},
                                                         {"Speed", "2"},
                                                         {"DataBits", "0"},
                                                         {"FlowControl", "0"},
                                                         {"StCombCoord0", "1"},
                                                         {"StCombCoord1", "2"},
                                                         {"StOpEditor", "1"},
                                                         {"DataSendFormat", "2"}};
  for (const auto& [key, value] : choices) ini.Set("Default", key, value);
  return ini.ToBytes();
}

TEST_F(Startup, SaveSetupKeepsATranslatedFileAndAddsTheEdits) {
  const std::string translated = TranslatedFile(Golden());
  WriteFileBytes(IniBesideExecutable(), translated);
  Start("Special Setup");
  ASSERT_TRUE(Reports().empty());
  EXPECT_EQ(TabText(0), "\xC2\xABReceive\xC2\xBB p\xC3\xA5 norsk");
  // One edit, in the download window that was loaded hidden and never shown.
  state_.controls.at("DL_ComCancel").caption = "&Lukk";

  windows_->MainWindow()->Command1->click();
  ASSERT_TRUE(Reports().empty());
  FileMeaning expected = MeaningOf(translated);
  expected.at("[DL_ComCancel]Caption") = {"&Lukk"};
  const FileMeaning saved = MeaningOf(ReadFileBytes(IniBesideExecutable()));
  EXPECT_EQ(saved.size(), expected.size());
  for (const auto& [key, values] : expected) {
    auto it = saved.find(key);
    ASSERT_NE(it, saved.end()) << key;
    EXPECT_EQ(it->second, values) << key;
  }
}

TEST_F(Startup, SplashStaysMoreThanTwoSeconds) {
  WriteFileBytes(IniBesideExecutable(), Golden());
  clock_.Set(std::chrono::hours(24) - milliseconds(1));  // near the day's end: no jump matters
  Start("");
  ASSERT_EQ(windows_->calls[0], "ShowSplash");
  ASSERT_EQ(windows_->calls[windows_->calls.size() - 2], "ShowMainWindow");
  Clock::Duration shown = windows_->times[windows_->times.size() - 2] - windows_->times[0];
  EXPECT_GT(shown, std::chrono::seconds(2));
  EXPECT_LT(shown, std::chrono::seconds(2) + milliseconds(10));
}

TEST_F(Startup, SlowLoadingDoesNotWaitAgain) {
  WriteFileBytes(IniBesideExecutable(), Golden());
  int sleeps = 0;
  windows_ = nullptr;
  state_ = AppState();
  ctx_ = std::make_unique<UiContext>(state_, prompts_, dialogs_);
  windows_ = std::make_unique<RecordingWindows>(*ctx_, clock_);
  windows_->beforeDownloadWindow = [this] { clock_.Advance(std::chrono::seconds(3)); };
  options_.commandLine = "Special Setup";
  Main(state_, options_, *windows_, ctx_->reporter, clock_, [&](Clock::Duration) { ++sleeps; });
  EXPECT_EQ(sleeps, 0);
  EXPECT_EQ(windows_->calls.back(), "UnloadSplash");
}

}  // namespace
}  // namespace korv
