// Downloads from the main window through a pseudo-terminal playing the instrument: every
// raw and coordinate target, "Other", cancel and a port that cannot be opened.
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/clock.h"
#include "core/file_procs.h"
#include "formats/kof_writer.h"
#include "ui/download_window.h"
#include "ui/survey_window.h"
#include "ui_fixture.h"

namespace korv {
namespace {

const std::string kData = KORVENIA_TEST_DATA;

class DownloadTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    char name[256] = {0};
    ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    termios t{};
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
    SetKey("Serial devices", "COM1", name);
    ctx->clock = &clock_;
  }
  void TearDown() override {
    stop_ = true;
    if (advancer_.joinable()) advancer_.join();
    close(master_);
    close(slave_);
  }

  // Once the download window is up, the instrument sends `bytes`; after the program has read
  // them all, the silence clock runs past three seconds.
  void InstrumentSends(const std::string& bytes) {
    QTimer::singleShot(100, [this, bytes] {
      mainEnabledWhileReceiving_ = window->isEnabled();
      size_t sent = 0;
      while (sent < bytes.size()) {
        ssize_t n = write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) sent += static_cast<size_t>(n);
      }
      sent_ = true;
    });
    advancer_ = std::thread([this] {
      while (!stop_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        int unread = 0;
        ioctl(slave_, FIONREAD, &unread);
        if (sent_ && unread == 0) clock_.Advance(std::chrono::seconds(4));
      }
    });
  }

  void Choose(int kind, int position, const std::string& output) {
    window->OpReceive_Click(kind);
    if (kind != 2) {
      window->ComboDataFormat->setCurrentIndex(position);
      window->ComboDataFormat_Click();
    }
    window->TxFileName->setText(QString::fromStdString(output));
  }

  ManualClock clock_;
  int master_ = -1;
  int slave_ = -1;
  std::thread advancer_;
  std::atomic<bool> sent_{false};
  std::atomic<bool> stop_{false};
  bool mainEnabledWhileReceiving_ = true;
};

TEST_F(DownloadTest, RawDataStoredAsReceived) {
  Choose(0, 0, Path("job.vxl"));
  InstrumentSends("LINE 1\r\nLINE 2\r\n");
  window->ComDLN_Click();
  EXPECT_EQ(ReadFileBytes(Path("job.vxl")), "LINE 1\r\nLINE 2\r\n");
  EXPECT_FALSE(FileExists(state.ScratchFilePath));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Data transmission successfully completed.");
  EXPECT_EQ(prompts.messages[0].title, "Complete");
  EXPECT_TRUE(window->ComViewFile->isEnabled());
  EXPECT_TRUE(window->isEnabled());
  EXPECT_FALSE(mainEnabledWhileReceiving_);
  EXPECT_TRUE(window->RecheckOutputFile());
  // What came is checked and shown: the report names the lines it did not understand.
  const SurveyWindow* checked = window->findChild<SurveyWindow*>();
  ASSERT_NE(checked, nullptr);
  EXPECT_NE(checked->Report->toPlainText().toStdString().find("LINE 2"), std::string::npos);
}

// A stick pulled out while the instrument sends: the write fails and says so, and the data
// is kept as a failed conversion's is, with a message that says where it is.
TEST_F(DownloadTest, AnOutputThatCannotBeWrittenKeepsTheDownload) {
  const std::string stick = Path("stick");
  std::filesystem::create_directory(stick);
  Choose(0, 0, stick + "/job.vxl");
  QTimer::singleShot(50, [stick] { std::filesystem::remove_all(stick); });
  InstrumentSends("LINE 1\r\nLINE 2\r\n");
  window->ComDLN_Click();
  const std::string fault = "Cannot write " + stick + "/job.vxl: Path not found";
  ASSERT_GE(prompts.messages.size(), 3u);
  EXPECT_EQ(prompts.messages[1].text, fault);
  EXPECT_EQ(prompts.messages[2].text,
            "The received data was not converted and could not be saved beside " + stick +
                "/job.vxl (" + fault + "). It is in " + state.ScratchFilePath +
                " until the next transfer or Exit.");
  EXPECT_EQ(ReadFileBytes(state.ScratchFilePath), "LINE 1\r\nLINE 2\r\n");
  EXPECT_FALSE(window->ComViewFile->isEnabled());
}

TEST_F(DownloadTest, RawDataThroughTheKofDialog) {
  const std::string raw = ReadFileBytes(kData + "/kof/survey.raw");
  Choose(0, 1, Path("survey.kof"));
  InstrumentSends(raw);
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComOK")};
  window->ComDLN_Click();
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"KOF_Form"});
  EXPECT_TRUE(window->ComViewFile->isEnabled());
  // The same as converting the received lines from disk.
  WriteFileBytes(Path("received.raw"), ReadFileBytes(state.ScratchFilePath));
  KofOptions options =
      ReadKofOptions(IniFile::Load(state.IniFilePath), folder, Path("survey.kof"), ctx->now());
  PointConversion table;
  SilentReporter silent;
  ASSERT_TRUE(RawToKOF(Path("received.raw"), Path("direct.kof"), WriteMode::Overwrite, options, 0,
                       table, silent)
                  .ok());
  EXPECT_EQ(ReadFileBytes(Path("survey.kof")), ReadFileBytes(Path("direct.kof")));
}

// The data of a download outlives a cancelled KOF window and the Exit that deletes the
// scratch file: it is stored as received beside the chosen name.
TEST_F(DownloadTest, CancelInTheKofWindowKeepsTheDownload) {
  Choose(0, 1, Path("survey.kof"));
  InstrumentSends("ST,S1,,B1,,1.550,0.0000\r\nSS,P1,1.600,25.123,45.1235,89.9877,,TREE\r\n");
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComCancel")};
  window->ComDLN_Click();
  EXPECT_FALSE(FileExists(Path("survey.kof")));
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1].text,
            "The received data was not converted. It is saved as received in " +
                Path("survey.vxl") + ".");
  ctx->endProgram = [] {};
  window->ComExit_Click();
  EXPECT_FALSE(FileExists(state.ScratchFilePath));
  EXPECT_EQ(ReadFileBytes(Path("survey.vxl")),
            "ST,S1,,B1,,1.550,0.0000\r\nSS,P1,1.600,25.123,45.1235,89.9877,,TREE\r\n");
}

// A download whose KOF window is cancelled is in the journal, byte for byte; Recent downloads
// lists it and opens it as the raw data file to convert.
TEST_F(DownloadTest, JournalKeepsTheDownloadAndOpensItAsTheSourceFile) {
  const std::string sent = "ST,S1,,B1,,1.550,0.0000\r\nSS,P1,1.600,25.123,45.1235,89.9877,,TREE\r\n";
  Choose(0, 1, Path("survey.kof"));
  InstrumentSends(sent);
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComCancel")};
  window->ComDLN_Click();
  ASSERT_FALSE(FileExists(Path("survey.kof")));
  const std::string journal = folder + "data/Korvenia/journal";
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(journal))
    names.push_back(e.path().filename().string());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind("2026-12-07_103000_pts-", 0), 0u) << names[0];
  EXPECT_EQ(ReadFileBytes(journal + "/" + names[0]), sent);

  std::vector<std::string> row;
  dialogs.scripts = {[&row](QDialog& d) {
    auto* list = d.findChild<QTreeWidget*>("LstDownloads");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    for (int c = 0; c < 4; ++c) row.push_back(list->topLevelItem(0)->text(c).toStdString());
    ScriptedDialogs::Click(d, "ComOpen");
  }};
  ASSERT_FALSE(window->ComRecent->isHidden());
  EXPECT_EQ(window->ComRecent->text().toStdString(), "Recent do&wnloads...");
  window->ComRecent->click();
  EXPECT_EQ(dialogs.shown.back(), "RecentDownloads");
  ASSERT_EQ(row.size(), 4u);
  EXPECT_EQ(row[0], "2026-12-07 10:30:00");
  EXPECT_EQ(row[1].rfind("pts-", 0), 0u);
  EXPECT_EQ(row[2], "2");
  EXPECT_EQ(row[3], std::to_string(sent.size()));
  EXPECT_TRUE(window->OpSourse[1]->isChecked());
  EXPECT_TRUE(window->OpReceive[0]->isChecked());
  EXPECT_EQ(window->ComFileName->text().toStdString(), names[0]);
  EXPECT_EQ(state.JobPath + names[0], journal + "/" + names[0]);
  EXPECT_TRUE(window->ComRecent->isHidden());
}

TEST_F(DownloadTest, RawDataToMapa) {
  Choose(0, 2, Path("job.asc"));
  // The file ends its lines with LF alone; the instrument ends them with CR LF.
  std::string sent;
  for (char c : ReadFileBytes(kData + "/mapa/job.raw"))
    sent += c == '\n' ? std::string("\r\n") : std::string(1, c);
  InstrumentSends(sent);
  window->ComDLN_Click();
  EXPECT_FALSE(ReadFileBytes(Path("job.asc")).empty());
  EXPECT_TRUE(window->ComViewFile->isEnabled());
}

TEST_F(DownloadTest, LinesWithoutCarriageReturnAreNoSuccessAndNothingIsConverted) {
  Choose(0, 0, Path("job.vxl"));
  InstrumentSends("LINE 1\nLINE 2\n");
  window->ComDLN_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "No complete line arrived: 12 characters came without a carriage return to end a "
            "line and were not stored.");
  EXPECT_EQ(prompts.messages[0].title, "Error");
  EXPECT_EQ(state.ActionWord, "Lathos");
  EXPECT_FALSE(state.DownloadOK);
  EXPECT_FALSE(FileExists(Path("job.vxl")));
  EXPECT_FALSE(window->ComViewFile->isEnabled());
  EXPECT_TRUE(window->isEnabled());
}

TEST_F(DownloadTest, SdrFromTheInstrumentShowsWhatToPickAndIsStored) {
  Choose(0, 4, Path("job.sdr"));
  InstrumentSends("00NMSDR33\r\n");
  std::string title;
  dialogs.scripts = {[&](QDialog& d) {
    title = d.windowTitle().toStdString();
    ScriptedDialogs::Click(d, "ComOK");
  }};
  window->ComDLN_Click();
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"F_SdrDL"});
  EXPECT_EQ(title, "SDR-33");
  EXPECT_EQ(ReadFileBytes(Path("job.sdr")), "00NMSDR33\r\n");
}

TEST_F(DownloadTest, CoordinatesToDxfWithTheOriginalCopy) {
  Choose(1, 1, Path("pts.dxf"));
  window->CheckOrigDF->setChecked(true);
  InstrumentSends("P1,200.0,100.0,12.5,WALL\r\n");
  window->ComDLN_Click();
  EXPECT_TRUE(ReadFileBytes(Path("pts.dxf")).find("WALL") != std::string::npos);
  EXPECT_EQ(ReadFileBytes(Path("pts.vxl")), "P1,200.0,100.0,12.5,WALL\r\n");
}

TEST_F(DownloadTest, OtherEnablesViewAfterANormalEnd) {
  Choose(2, 0, Path("other.txt"));
  InstrumentSends("hello\r\n");
  window->ComDLN_Click();
  EXPECT_EQ(ReadFileBytes(Path("other.txt")), "hello\r\n");
  EXPECT_TRUE(window->ComViewFile->isEnabled());
}

TEST_F(DownloadTest, CancelStopsWithoutConverting) {
  Choose(0, 0, Path("job.vxl"));
  // Cancel as soon as the download window shows, however late that is on a busy machine (the
  // reception waits for the instrument without limit).
  QTimer cancel;
  cancel.setInterval(50);
  QObject::connect(&cancel, &QTimer::timeout, [&cancel] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "DL_Form" && w->isVisible()) {
        cancel.stop();
        w->findChild<QPushButton*>("DL_ComCancel")->click();
      }
    }
  });
  cancel.start();
  window->ComDLN_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Data transmission interrupted");
  EXPECT_EQ(prompts.messages[0].title, "Warning");
  EXPECT_EQ(state.ActionWord, "Stop");
  EXPECT_FALSE(FileExists(Path("job.vxl")));
  EXPECT_TRUE(window->isEnabled());
}

TEST_F(DownloadTest, APortThatCannotOpenSwitchesToTheSettingsTab) {
  SetKey("Serial devices", "COM1", Path("no-such-device"));
  Choose(0, 0, Path("job.vxl"));
  window->ComDLN_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "The communication port could not be opened.\nNo such port: " + Path("no-such-device"));
  EXPECT_EQ(window->MainTab->currentIndex(), 2);
  EXPECT_FALSE(FileExists(Path("job.vxl")));
}

// The whole way from the simulated instrument to the file, on the real clock.
TEST_F(UiTest, DownloadFromTheSimulatedInstrument) {
  const std::string input = kData + "/kof/survey.raw";
  QProcess sim;
  sim.start(KORVENIA_SIM, {"send", QString::fromStdString(input), "--baud", "0"});
  ASSERT_TRUE(sim.waitForReadyRead(5000));
  const std::string device = sim.readLine().trimmed().toStdString();
  SetKey("Serial devices", "COM1", device);
  window->TxFileName->setText(QString::fromStdString(Path("survey.vxl")));
  window->ComDLN_Click();
  sim.kill();
  sim.waitForFinished();
  std::string expected;
  std::istringstream lines(ReadFileBytes(input));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // The link takes 7-bit characters only.
    for (char c : line) {
      if (c != 0 && static_cast<unsigned char>(c) < 128) expected += c;
    }
    expected += "\r\n";
  }
  EXPECT_EQ(ReadFileBytes(Path("survey.vxl")), expected);
  EXPECT_TRUE(window->ComViewFile->isEnabled());
}

}  // namespace
}  // namespace korv
