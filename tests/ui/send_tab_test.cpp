// The Send and Settings tabs and leaving the program: the checks of the file to send, the
// new-file window, the editor choice, the serial device chooser, Exit, Save setup and the
// close box.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "core/file_procs.h"
#include "ui/new_file_dialog.h"
#include "ui/user_prompts.h"
#include "ui_fixture.h"

namespace korv {
namespace {

class SendTabTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ctx->endProgram = [this] { ++ended; };
  }
  // Types a name into the send box and leaves it.
  void Type(const std::string& name) {
    window->TxFileNameSend->setText(QString::fromStdString(name));
    window->TxFileNameSend_LostFocus();
  }
  void ChooseSendFormat(int position) {
    window->ComboDataFormatSend->setCurrentIndex(position);
    window->ComboDataFormatSend_Click();
  }
  bool ButtonsEnabled() const {
    return window->ComEditSend->isEnabled() && window->ComSend->isEnabled();
  }
  int ended = 0;
};

TEST_F(SendTabTest, FileLengthDecidesNewRefusedOrAccepted) {
  // 0 bytes: a new file, so the new-file window asks (cancelled here: the box is emptied).
  WriteFileBytes(Path("empty.asc"), "");
  Type(Path("empty.asc"));
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"F_EdSdF"});
  EXPECT_TRUE(window->TxFileNameSend->text().isEmpty());
  EXPECT_FALSE(ButtonsEnabled());
  EXPECT_TRUE(prompts.messages.empty());
  // 1 to 3 bytes: "This file contains no data".
  for (const char* bytes : {"1", "12\n", "1\r\n"}) {
    prompts.messages.clear();
    WriteFileBytes(Path("short.asc"), bytes);
    Type(Path("short.asc"));
    ASSERT_EQ(prompts.messages.size(), 1u) << bytes;
    EXPECT_EQ(prompts.messages[0].text, "This file contains no data");
    EXPECT_EQ(prompts.messages[0].title, "Error");
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(window->TxFileNameSend->text().isEmpty());
    EXPECT_FALSE(ButtonsEnabled());
  }
  // 4 bytes: accepted as it is.
  prompts.messages.clear();
  WriteFileBytes(Path("four.asc"), "P,1\n");
  Type(Path("four.asc"));
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(window->TxFileNameSend->text().toStdString(), Path("four.asc"));
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_TRUE(state.ActionWord.empty());
  // Emptying the box disables both buttons again.
  window->TxFileNameSend->clear();
  EXPECT_FALSE(ButtonsEnabled());
}

TEST_F(SendTabTest, ScratchFileRefusedInAnyLetterCase) {
  WriteFileBytes(Path("Brevant.tem"), "P1,1,2,3\r\n");
  Type(folder + "bREVANT.TEM");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Cannot create file!\r\nPlease specify other name.");
  EXPECT_TRUE(window->TxFileNameSend->text().isEmpty());
  EXPECT_FALSE(ButtonsEnabled());
  // Chosen in the open dialog it is refused too, and the dialog is not shown again.
  prompts.fileAnswers = {folder + "BREVANT.tem"};
  window->ComBrowseSend_Click();
  EXPECT_EQ(prompts.fileDialogs.size(), 1u);
  EXPECT_EQ(prompts.messages.size(), 2u);
  EXPECT_TRUE(window->TxFileNameSend->text().isEmpty());
  EXPECT_FALSE(ButtonsEnabled());
  // A folder or a name no file can have is no file to send either.
  Type(folder);
  Type(Path("a?.asc"));
  EXPECT_EQ(prompts.messages.size(), 4u);
  EXPECT_FALSE(ButtonsEnabled());
}

TEST_F(SendTabTest, BrowseFiltersAndRemembersTheFolder) {
  WriteFileBytes(Path("points.asc"), "P1,1,2,3\r\n");
  prompts.fileAnswers = {Path("points.asc")};
  window->ComBrowseSend_Click();
  ASSERT_EQ(prompts.fileDialogs.size(), 1u);
  EXPECT_EQ(prompts.fileDialogs[0].request.title, "Select filename");
  // Coordinates come from a list or from the points of a GIS file.
  EXPECT_EQ(prompts.fileDialogs[0].request.filter,
            "All files (*.*)|*.*|GIS points (*.gpkg *.geojson *.json *.shp *.kml *.csv *.dxf)|"
            "*.gpkg;*.geojson;*.json;*.shp;*.kml;*.csv;*.dxf");
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_EQ(window->TxFileNameSendTag(), "Old");
  EXPECT_EQ(state.UpLoadPath, folder);
  // The next dialog opens there, filtered for the code list.
  ChooseSendFormat(1);
  prompts.fileAnswers = {std::nullopt};
  window->ComBrowseSend_Click();
  EXPECT_EQ(prompts.fileDialogs[1].request.folder, folder);
  EXPECT_EQ(prompts.fileDialogs[1].request.filter,
            "Vexal Code file (*.txt; *.cod)|*.txt; *.cod|All files (*.*)|*.*");
  ChooseSendFormat(2);
  prompts.fileAnswers = {std::nullopt};
  window->ComBrowseSend_Click();
  EXPECT_EQ(prompts.fileDialogs[2].request.filter, "KOF (*.kof)|*.kof|All files (*.*)|*.*");
}

TEST_F(SendTabTest, CancelledBrowseKeepsTheFileChosenBefore) {
  WriteFileBytes(Path("points.asc"), "P1,1,2,3\r\n");
  Type(Path("points.asc"));
  ASSERT_TRUE(ButtonsEnabled());
  window->ComBrowseSend_Click();  // no answer: cancelled
  EXPECT_EQ(window->TxFileNameSend->text().toStdString(), Path("points.asc"));
  EXPECT_TRUE(ButtonsEnabled());
}

TEST_F(SendTabTest, ChangingTheSendFormatClearsTheName) {
  WriteFileBytes(Path("points.asc"), "P1,1,2,3\r\n");
  Type(Path("points.asc"));
  ASSERT_TRUE(ButtonsEnabled());
  EXPECT_FALSE(window->ComSettingSend->isHidden());
  ChooseSendFormat(2);
  EXPECT_EQ(state.DataSendFormat, 2);
  EXPECT_TRUE(window->TxFileNameSend->text().isEmpty());
  EXPECT_FALSE(ButtonsEnabled());
  EXPECT_TRUE(window->ComSettingSend->isHidden());
  // Picking the same format again keeps the name.
  window->TxFileNameSend->setText("x");
  ChooseSendFormat(2);
  EXPECT_EQ(window->TxFileNameSend->text(), "x");
  ChooseSendFormat(0);
  EXPECT_FALSE(window->ComSettingSend->isHidden());
}

TEST_F(SendTabTest, NewCodeListThroughBrowse) {
  ChooseSendFormat(1);
  // The first new file is cancelled, so the open dialog comes again; the second is created.
  prompts.fileAnswers = {Path("first.cod"), Path("codes.cod")};
  dialogs.scripts = {[](QDialog& d) {
                       auto& w = static_cast<F_EdSdF&>(d);
                       EXPECT_TRUE(w.OpEditNewFile[1]->isChecked());
                       w.ComCancel->click();
                     },
                     ScriptedDialogs::Clicking("ComOK")};
  window->ComBrowseSend_Click();
  EXPECT_EQ(prompts.fileDialogs.size(), 2u);
  EXPECT_TRUE(prompts.fileDialogs[0].request.newNameAllowed);
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"F_EdSdF", "F_EdSdF"}));
  EXPECT_FALSE(FileExists(Path("first.cod")));
  EXPECT_EQ(ReadFileBytes(Path("codes.cod")), "DEFAULT\r\n{\r\n\r\n}\r\n");
  ASSERT_EQ(prompts.editorRuns.size(), 1u);
  EXPECT_EQ(prompts.editorRuns[0].path, Path("codes.cod"));
  EXPECT_EQ(window->TxFileNameSend->text().toStdString(), Path("codes.cod"));
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_TRUE(state.ActionWord.empty());
}

// The real open dialog: a name typed for a file that does not exist yet is taken only when
// the request allows it (the Send tab's Browse), else the dialog stays open and refuses it.
TEST_F(SendTabTest, OpenDialogTakesANewNameOnlyWhenAllowed) {
  QtUserPrompts real(window.get());
  for (bool allowed : {true, false}) {
    FileDialogRequest request;
    request.title = "Select filename";
    request.folder = folder;
    request.filter = "All files (*.*)|*.*";
    request.newNameAllowed = allowed;
    // Types the name and presses Open; whatever is still open afterwards is closed.
    QTimer::singleShot(50, [] {
      QPointer<QFileDialog> dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_TRUE(dialog);
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText("new.cod");
      // A refused name is said in a box over the dialog: both are closed.
      QTimer::singleShot(50, [dialog] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->done(0);
        if (dialog) dialog->reject();
      });
      static_cast<QDialog*>(dialog.data())->accept();  // the Open button
    });
    const std::optional<std::string> chosen = real.OpenFile(request);
    if (allowed) {
      EXPECT_EQ(chosen, std::optional<std::string>(Path("new.cod")));
    } else {
      EXPECT_EQ(chosen, std::nullopt);
    }
  }
  EXPECT_FALSE(FileExists(Path("new.cod")));
}

TEST_F(SendTabTest, NewCoordinateFileIsEmptyAndAFullFileIsNeverReplaced) {
  dialogs.scripts = {[](QDialog& d) {
    auto& w = static_cast<F_EdSdF&>(d);
    EXPECT_TRUE(w.OpEditNewFile[0]->isChecked());
    w.ComOK->click();
  }};
  Type(Path("new.asc"));
  EXPECT_TRUE(FileExists(Path("new.asc")));
  EXPECT_EQ(ReadFileBytes(Path("new.asc")), "");
  EXPECT_TRUE(ButtonsEnabled());
  // A file that cannot be created is reported and the window stays open until cancelled.
  dialogs.scripts = {ScriptedDialogs::Clicking("ComOK")};
  Type(Path("no-such-folder/new.asc"));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Error");
  EXPECT_TRUE(window->TxFileNameSend->text().isEmpty());
  EXPECT_FALSE(ButtonsEnabled());
}

TEST_F(SendTabTest, EditorChoiceForEdit) {
  WriteFileBytes(Path("points.asc"), "P1,1,2,3\r\n");
  Type(Path("points.asc"));
  // "Use Other" with an empty path: the desktop's own program.
  window->StOpEditor_Click(1);
  EXPECT_EQ(state.EditorChoice, 1);
  EXPECT_FALSE(window->TxEditor->isHidden());
  window->ComEditSend_Click();
  ASSERT_EQ(prompts.editorRuns.size(), 1u);
  EXPECT_EQ(prompts.editorRuns[0].editor, "");
  EXPECT_EQ(prompts.editorRuns[0].path, Path("points.asc"));
  window->TxEditor->setText("/usr/bin/myeditor");
  EXPECT_EQ(state.ProgramEditor, "/usr/bin/myeditor");
  window->ComEditSend_Click();
  EXPECT_EQ(prompts.editorRuns[1].editor, "/usr/bin/myeditor");
  // "Use Notepad" ignores the path and hides it.
  window->StOpEditor_Click(0);
  EXPECT_TRUE(window->TxEditor->isHidden());
  EXPECT_TRUE(window->ComEditorBrowse->isHidden());
  window->ComEditSend_Click();
  EXPECT_EQ(prompts.editorRuns[2].editor, "");
  // An editor that cannot start is reported.
  prompts.editorFault = "File not found: /usr/bin/myeditor";
  window->StOpEditor_Click(1);
  window->ComEditSend_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "File not found: /usr/bin/myeditor");
}

TEST_F(SendTabTest, EditorBrowseStartsBesideTheEditorAndOffersEveryFile) {
  window->StOpEditor_Click(1);
  window->TxEditor->setText("/opt/tools/edit");
  prompts.fileAnswers = {std::string("/usr/bin/vi")};
  window->ComEditorBrowse_Click();
  ASSERT_EQ(prompts.fileDialogs.size(), 1u);
  const FileDialogRequest& r = prompts.fileDialogs[0].request;
  EXPECT_EQ(r.folder, "/opt/tools");
  EXPECT_EQ(r.title, "Select program name for editor");
  EXPECT_EQ(r.filter.rfind("Program (*.exe, *.bat)|*.exe;*.bat", 0), 0u);
  EXPECT_EQ(window->TxEditor->text(), "/usr/bin/vi");
  EXPECT_EQ(state.ProgramEditor, "/usr/bin/vi");
}

TEST_F(SendTabTest, LinkAndCoordinateChoicesAreStoredAtOnce) {
  window->StCombComm[1]->setCurrentIndex(3);
  window->StCombComm_Click(1);
  window->StCombComm[2]->setCurrentIndex(0);
  window->StCombComm_Click(2);
  window->StCombComm[3]->setCurrentIndex(0);
  window->StCombComm_Click(3);
  window->StCombCoord[0]->setCurrentIndex(1);
  window->StCombCoord_Click(0);
  window->StCombCoord[1]->setCurrentIndex(2);
  window->StCombCoord_Click(1);
  EXPECT_EQ(state.SpeedIndex, 3);
  EXPECT_EQ(state.DataBitsIndex, 0);
  EXPECT_EQ(state.FlowControlIndex, 0);
  EXPECT_EQ(state.CoordOrderIndex, 1);
  EXPECT_EQ(state.CoordLabelsIndex, 2);
  // The link settings the transfers read follow at once.
  EXPECT_EQ(state.mainWindow.stCombComm[1].selected, 3);
}

TEST_F(SendTabTest, SerialDeviceOfThePortIsShownAndStored) {
  // Without an entry the port opens the system's own device.
  EXPECT_EQ(window->StCombDevice->currentText(), "/dev/ttyS0");
  // A typed path is stored for the chosen port, and only for it.
  window->StCombComm[0]->setCurrentIndex(2);
  window->StCombComm_Click(0);
  EXPECT_EQ(state.PortIndex, 2);
  EXPECT_EQ(window->StCombDevice->currentText(), "/dev/ttyS2");
  window->StCombDevice->setEditText("/dev/ttyUSB0");
  window->StCombDevice_Click();
  EXPECT_EQ(ReadKey(state.IniFilePath, "Serial devices", "COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(ReadKey(state.IniFilePath, "Serial devices", "COM1"), "");
  window->StCombComm[0]->setCurrentIndex(0);
  window->StCombComm_Click(0);
  EXPECT_EQ(window->StCombDevice->currentText(), "/dev/ttyS0");
  window->StCombComm[0]->setCurrentIndex(2);
  window->StCombComm_Click(0);
  EXPECT_EQ(window->StCombDevice->currentText(), "/dev/ttyUSB0");
  // Leaving the box unchanged writes nothing.
  const std::string before = ReadFileBytes(state.IniFilePath);
  window->StCombDevice_Click();
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), before);
  // The mapping survives a restart.
  Reload();
  window->StCombComm[0]->setCurrentIndex(2);
  window->StCombComm_Click(0);
  EXPECT_EQ(window->StCombDevice->currentText(), "/dev/ttyUSB0");
}

TEST_F(SendTabTest, ExitSavesTheChoicesAndDeletesTheScratchFile) {
  EXPECT_FALSE(FileExists(state.ScratchFilePath));
  window->StCombComm[1]->setCurrentIndex(2);
  window->StCombComm_Click(1);
  ChooseSendFormat(2);
  window->ComExit_Click();
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(FileExists(state.ScratchFilePath));
  EXPECT_EQ(ReadKey(state.IniFilePath, "Default", "Speed"), "2");
  EXPECT_EQ(ReadKey(state.IniFilePath, "Default", "DataSendFormat"), "2");
  // A scratch file left by an earlier run goes too.
  WriteFileBytes(state.ScratchFilePath, "old lines\r\n");
  window->ComExit_Click();
  EXPECT_FALSE(FileExists(state.ScratchFilePath));
  Reload();
  EXPECT_EQ(state.SpeedIndex, 2);
  EXPECT_EQ(window->ComboDataFormatSend->currentIndex(), 2);
}

TEST_F(SendTabTest, CloseBoxLeavesTheSettingsFileUnchanged) {
  WriteFileBytes(state.ScratchFilePath, "lines\r\n");
  const std::string before = ReadFileBytes(state.IniFilePath);
  window->StCombComm[1]->setCurrentIndex(1);
  window->StCombComm_Click(1);
  window->show();
  window->close();
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), before);
  EXPECT_TRUE(FileExists(state.ScratchFilePath));
}

TEST_F(SendTabTest, SaveSetupKeepsTheChoicesAndEnds) {
  state.SpecialSetupMode = true;
  window->StCombComm[1]->setCurrentIndex(1);
  window->StCombComm_Click(1);
  ChooseSendFormat(1);
  SetKey("Serial devices", "COM2", "/dev/ttyUSB1");
  window->Command1_Click();
  EXPECT_EQ(ended, 1);
  // The serial devices the user assigned are kept; they have no default to return to.
  EXPECT_EQ(ReadKey(state.IniFilePath, "Serial devices", "COM2"), "/dev/ttyUSB1");
  EXPECT_TRUE(LoadSettings(state, 0));
  // The choices are saved as the exit saves them, not returned to their defaults.
  EXPECT_EQ(ReadKey(state.IniFilePath, "Default", "Speed"), "1");
  EXPECT_EQ(ReadKey(state.IniFilePath, "Default", "DataSendFormat"), "1");
}

}  // namespace
}  // namespace korv
