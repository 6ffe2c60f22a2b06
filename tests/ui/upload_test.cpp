// Uploads from the Send tab to korvenia-sim playing the instrument: every send format, cancel
// while sending, a source with too few lines, and a port that cannot be opened.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_procs.h"
#include "ui/upload_window.h"
#include "ui_fixture.h"

namespace korv {
namespace {

class UploadTest : public UiTest {
 protected:
  void TearDown() override {
    if (sim_.state() != QProcess::NotRunning) {
      sim_.kill();
      sim_.waitForFinished();
    }
  }
  // Starts the simulated instrument storing what it receives, as port COM1.
  void StartInstrument(QStringList extra = {}) {
    sim_.start(KORVENIA_SIM,
               QStringList{"receive", QString::fromStdString(Path("received"))} + extra);
    ASSERT_TRUE(sim_.waitForReadyRead(5000));
    SetKey("Serial devices", "COM1", sim_.readLine().trimmed().toStdString());
  }
  // What the instrument got, once the program has closed the port.
  std::string Received() {
    EXPECT_TRUE(sim_.waitForFinished(30000));
    return ReadFileBytes(Path("received"));
  }
  void Send(int format, const std::string& name, const std::string& content) {
    window->ComboDataFormatSend->setCurrentIndex(format);
    window->ComboDataFormatSend_Click();
    WriteFileBytes(Path(name), content);
    window->TxFileNameSend->setText(QString::fromStdString(Path(name)));
    window->ComSend_Click();
  }
  // A dialog script that checks the upload window and presses its Send button.
  ScriptedDialogs::Script PressSend(const std::string& formatText) {
    return [formatText](QDialog& d) {
      auto& w = static_cast<F_UL&>(d);
      EXPECT_EQ(w.LbDataformat->text().toStdString(), formatText);
      EXPECT_EQ(w.rows[0][1]->text(), "19200");
      EXPECT_EQ(w.rows[2][1]->text(), "None");
      EXPECT_TRUE(w.ProgressBar1->isHidden());
      w.ComSend->click();
    };
  }
  void ExpectSuccess() {
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "The data was uploaded successfully.");
    EXPECT_EQ(prompts.messages[0].title, "Finished");
    EXPECT_EQ(state.SettingsActionWord, "UpOK");
  }

  QProcess sim_;
};

TEST_F(UploadTest, CoordinateFileCommaSeparated) {
  const std::string points = "P1,100.5,200.25,10,KERB\r\n\r\nP2,15\r\nPOINTNAME12345,1,2,3,CODE\n";
  // What the instrument would not receive as it stands is listed once the columns are chosen:
  // cancelled there, the upload window never shows and nothing is sent.
  StartInstrument();
  prompts.messageAnswers = {MessageAnswer::Cancel};
  dialogs.scripts = {ScriptedDialogs::Clicking("CoordForm_ComOk")};
  Send(0, "points.asc", points);
  EXPECT_EQ(Received(), "");
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0].text,
            "The instrument would not receive the file as it stands:\r\n"
            "line 3: point \"P2\": a plane coordinate is missing (sent as 0.000)\r\n"
            "line 4: point name \"POINTNAME12345\" is sent as \"POINTNAME123\"\r\n"
            "\r\nSend the points anyway?");
  EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(prompts.messages[1].text, "Upload aborted!");
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"CoordFormUL"}));

  // Sent anyway: every line as built.
  dialogs.shown.clear();
  prompts.messages.clear();
  StartInstrument();
  prompts.messageAnswers = {MessageAnswer::Ok};
  dialogs.scripts = {ScriptedDialogs::Clicking("CoordForm_ComOk"), PressSend("Coordinate file")};
  window->ComSend_Click();
  EXPECT_EQ(Received(),
            "P1,100.5,200.25,10,KERB\r\nP2,15,0.000,0.000,\r\nPOINTNAME123,1,2,3,CODE\r\n");
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"CoordFormUL", "UL_Form"}));
  prompts.messages.erase(prompts.messages.begin());
  ExpectSuccess();
  EXPECT_FALSE(window->MainTab->currentIndex() == 2);
}

TEST_F(UploadTest, GisFileSendsItsPointsOnceWhatIsLeftOutIsAccepted) {
  SetKey("GIS Settings", "CRS", "EPSG:25832");
  // Cancelled at the list of what is left out: no port is opened, nothing is sent.
  prompts.messageAnswers = {MessageAnswer::Cancel};
  Send(0, "stakeout.geojson", ReadFileBytes(test::DataPath("gis/stakeout.geojson")));
  ASSERT_EQ(prompts.messages.size(), 2u);
  const ScriptedPrompts::ShownMessage& told = prompts.messages[0];
  EXPECT_EQ(told.title, "Warning");
  EXPECT_EQ(told.buttons, MessageButtons::OkCancel);
  for (const char* said : {"feature 2: not a point: LineString\n", "feature 3: no name\n",
                           "keeps 'BOUNDARYSTON'", "\r\n\r\nSend the points anyway?"}) {
    EXPECT_NE(told.text.find(said), std::string::npos) << said << " in " << told.text;
  }
  EXPECT_EQ(prompts.messages[1].text, "Upload aborted!");
  EXPECT_TRUE(dialogs.shown.empty());

  // Sent: the points' upload lines, with no column settings to ask.
  prompts.messages.clear();
  StartInstrument();
  dialogs.scripts = {PressSend("Coordinate file")};
  prompts.messageAnswers = {MessageAnswer::Ok};
  window->ComSend_Click();
  EXPECT_EQ(Received(),
            "P1,5761156.236,534325.167,12.345,KUM\r\n"
            "BOUNDARYSTON,5761267.930,534393.051,101.500,GR\r\n"
            "?7,5761379.625,534460.931,0.000,\xC4" "B\r\n");
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"UL_Form"}));
  prompts.messages.erase(prompts.messages.begin());
  ExpectSuccess();
}

TEST_F(UploadTest, CoordinateFileBlankSeparatedInEnzOrder) {
  window->StCombCoord[0]->setCurrentIndex(1);
  window->StCombCoord_Click(0);
  StartInstrument();
  dialogs.scripts = {[](QDialog& d) {
                       d.findChild<QRadioButton*>("CoordForm_Op1")->click();
                       ScriptedDialogs::Click(d, "CoordForm_ComOk");
                     },
                     PressSend("Coordinate file")};
  Send(0, "points.txt", "  P3   12,5  7.25 1 TREE  \r\nP4 1 2 3\r\n");
  EXPECT_EQ(Received(), "P3,7.25,12.5,1,TREE\r\nP4,2,1,3,\r\n");
  ExpectSuccess();
  EXPECT_EQ(ReadKey(state.IniFilePath, "Coordinate UpLoad Settings", "Separator"), "1");
}

TEST_F(UploadTest, CodeListLineByLine) {
  StartInstrument();
  dialogs.scripts = {PressSend("Vexal Code file")};
  Send(1, "codes.cod", "DEFAULT\r\n{\r\n\r\n  TREE Oak  \r\n}\r\n");
  EXPECT_EQ(Received(), "DEFAULT\r\n{\r\nTREE Oak\r\n}\r\n");
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"UL_Form"});
  ExpectSuccess();
  // A file sent is offered again beside Browse.
  EXPECT_EQ(ReadKey(state.IniFilePath, "Recent Files", "Sent1"), Path("codes.cod"));
}

TEST_F(UploadTest, KofCoordinateRecords) {
  StartInstrument();
  dialogs.scripts = {PressSend("KOF")};
  // Columns: 2-3 "05", point 5-14, code 16-23, A 25-36, B 38-48, elevation 50-57.
  const std::string record = " 05 PT1        KODE      6600000.12   500000.34    12.345";
  ASSERT_EQ(record.size(), 57u);
  Send(2, "job.kof", " 00 Oppdrag   \r\n" + record + "\r\n 09_91\r\n");
  EXPECT_EQ(Received(), "PT1,500000.34,6600000.12,12.345,KODE\r\n");
  ExpectSuccess();
}

TEST_F(UploadTest, CancelWhileSendingCutsNoLineAndCountsWhatArrived) {
  // The instrument holds the line after every 200 bytes for a long time; Cancel comes then,
  // once the first 200 bytes arrived, however slowly a loaded machine started the upload.
  StartInstrument({"--xoff-every", "200", "--xoff-ms", "1000"});
  std::string content;
  for (int i = 0; i < 300; ++i) content += "CODE" + std::to_string(1000 + i) + " Some text\r\n";
  int shown = -1;
  const std::string received = Path("received");
  dialogs.scripts = {[&shown, &received](QDialog& d) {
    auto* look = new QTimer(&d);
    QObject::connect(look, &QTimer::timeout, &d, [&d, look, &received] {
      std::error_code ec;
      const std::uintmax_t size = std::filesystem::file_size(received, ec);
      if (ec || size < 200) return;
      look->stop();
      ScriptedDialogs::Click(d, "UL_ComCancel");
    });
    look->start(20);
    ScriptedDialogs::Click(d, "UL_ComSend");
    shown = static_cast<F_UL&>(d).ProgressBar1->value();
  }};
  Send(1, "codes.cod", content);
  const std::string got = Received();
  EXPECT_FALSE(got.empty());
  EXPECT_LT(got.size(), content.size());
  EXPECT_EQ(content.compare(0, got.size(), got), 0);
  EXPECT_EQ(got.back(), '\n') << "a cut line arrived";
  EXPECT_EQ(shown, std::count(got.begin(), got.end(), '\n'))
      << "the progress shows the lines that left, no more";
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Upload aborted!");
  EXPECT_EQ(prompts.messages[0].title, "Warning");
  EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(state.SettingsActionWord, "Esc");
}

TEST_F(UploadTest, TooFewLinesSendNothing) {
  StartInstrument();
  dialogs.scripts = {ScriptedDialogs::Clicking("UL_ComSend")};
  Send(1, "codes.cod", "DEFAULT\r\n{\r\n");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Upload aborted!");
  // The port was opened and closed without a byte (the simulator ends when it sees the
  // close; a loaded machine can take more than a second to show it).
  EXPECT_TRUE(sim_.waitForFinished(30000));
  EXPECT_EQ(ReadFileBytes(Path("received")), "");

  // Enough lines, but not one point to send: aborted, never "uploaded successfully".
  prompts.messages.clear();
  StartInstrument();
  dialogs.scripts = {ScriptedDialogs::Clicking("UL_ComSend")};
  Send(2, "job.kof", " 00 Oppdrag\r\n 09_91\r\n 09_99\r\n");
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0].text, "Nothing to send");
  EXPECT_EQ(prompts.messages[1].text, "Upload aborted!");
  EXPECT_EQ(state.SettingsActionWord, "Esc");
  EXPECT_EQ(ReadKey(state.IniFilePath, "Recent Files", "Sent1"), "");
}

TEST_F(UploadTest, ClosingTheUploadWindowAbortsAndAMissingSourceIsReported) {
  StartInstrument();
  // Closed by its close box before Send: nothing sent.
  Send(1, "codes.cod", "A\r\nB\r\nC\r\n");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Upload aborted!");
  // A source that went away after it was chosen is reported before the abort.
  prompts.messages.clear();
  // A port opened and closed within a moment may pass the instrument by: start afresh.
  sim_.kill();
  sim_.waitForFinished();
  StartInstrument();
  dialogs.scripts = {ScriptedDialogs::Clicking("UL_ComSend")};
  window->TxFileNameSend->setText(QString::fromStdString(Path("gone.cod")));
  window->ComSend_Click();
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0].title, "Error");
  EXPECT_EQ(prompts.messages[1].text, "Upload aborted!");
}


TEST_F(UiTest, UploadPortThatCannotBeOpened) {
  SetKey("Serial devices", "COM1", Path("no-such-device"));
  window->ComboDataFormatSend->setCurrentIndex(1);
  window->ComboDataFormatSend_Click();
  WriteFileBytes(Path("codes.cod"), "A\r\nB\r\nC\r\n");
  window->TxFileNameSend->setText(QString::fromStdString(Path("codes.cod")));
  window->ComSend_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "The communication port could not be opened.\nNo such port: " + Path("no-such-device"));
  EXPECT_EQ(window->MainTab->currentIndex(), 2);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UiTest, UploadWindowInSetupModeOnlyShowsItself) {
  state.SpecialSetupMode = true;
  dialogs.scripts = {[this](QDialog& d) {
    auto& w = static_cast<F_UL&>(d);
    EXPECT_EQ(w.ComSend->text(), "&Send");
    // The close box is refused and names both buttons; Send only hides the window.
    w.close();
    EXPECT_TRUE(w.isVisible());
    w.ComSend->click();
    EXPECT_FALSE(w.isVisible());
  }};
  window->ComSend_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "The program is in setup mode.\r\nPress <Send> or <Cancel> button");
  EXPECT_EQ(prompts.messages[0].title, "Setup");
  EXPECT_FALSE(FileExists(state.ScratchFilePath));
}

}  // namespace
}  // namespace korv
