// The main window's Receive tab: binding to the settings, source and kind rules, the settings
// button and original-copy box, tool tips, file dialogs and the output name checks.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "conversions/list_positions.h"
#include "core/file_procs.h"
#include "ui/control_binder.h"
#include "ui/user_prompts.h"
#include "ui_fixture.h"

namespace korv {
namespace {

// The exchange entries every raw data and coordinate list ends with.
constexpr int kExchangeCount = static_cast<int>(std::size(kExchangeEntries));

TEST_F(UiTest, EveryMainRecordHasItsWidgetAndDefaultsShow) {
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.window != RecordWindow::Main || def.kind == ControlRecordKind::Window) continue;
    EXPECT_NE(FindControl(window.get(), def.name), nullptr) << def.name;
  }
  EXPECT_EQ(window->MainTab->tabText(0).toStdString(), "Receive");
  EXPECT_EQ(window->MainTab->tabText(2).toStdString(), "Settings");
  EXPECT_EQ(window->windowTitle().toStdString(), TextsOf(state, "Main Form").caption);
  EXPECT_EQ(window->ComDLN->text().toStdString(), "&Download");
  EXPECT_EQ(window->ComboDataFormat->count(), 6 + kExchangeCount);
  EXPECT_EQ(window->ComboDataFormat->currentIndex(), 0);
  // Raw data stored as received: no settings, no copy.
  EXPECT_TRUE(window->ComSaveSetings->isHidden());
  EXPECT_TRUE(window->CheckOrigDF->isHidden());
  EXPECT_TRUE(window->ComConv->isHidden());
  EXPECT_FALSE(window->ComFileName->isEnabled());
  EXPECT_EQ(window->StCombComm[1]->currentText().toStdString(), "19200");
  EXPECT_EQ(window->LbFileName->buddy(), window->TxFileName);
  EXPECT_EQ(state.FileWriteMode, 1);
}

TEST_F(UiTest, FileSourceTurnsOtherIntoRawDataAndOffersFileTargets) {
  window->OpReceive_Click(2);
  EXPECT_TRUE(window->ComboDataFormat->isHidden());
  EXPECT_TRUE(window->LbDataFormat->isHidden());
  window->TxFileName->setText("x.txt");
  window->OpSourse_Click(1);
  EXPECT_TRUE(window->OpReceive[0]->isChecked());
  EXPECT_FALSE(window->OpReceive[2]->isEnabled());
  EXPECT_EQ(state.SourceKind, 0);
  EXPECT_EQ(state.SourceIndex, 1);
  EXPECT_FALSE(window->ComboDataFormat->isHidden());
  EXPECT_EQ(window->ComboDataFormat->count(), 3 + kExchangeCount);
  EXPECT_EQ(window->ComboDataFormat->itemText(0).toStdString(), "KOF raw data file");
  EXPECT_TRUE(window->TxFileName->text().isEmpty());
  EXPECT_FALSE(window->ComConv->isHidden());
  EXPECT_TRUE(window->ComDLN->isHidden());
  EXPECT_TRUE(window->ComFileName->isEnabled());
  window->OpSourse_Click(0);
  EXPECT_TRUE(window->OpReceive[2]->isEnabled());
  EXPECT_EQ(window->ComboDataFormat->count(), 6 + kExchangeCount);
}

TEST_F(UiTest, StoredPositionBeyondTheListIsResetToZero) {
  state.RawFileTargetIndex = 3 + kExchangeCount;
  window->OpSourse_Click(1);
  EXPECT_EQ(window->ComboDataFormat->currentIndex(), 0);
  EXPECT_EQ(state.RawFileTargetIndex, 0);
  state.CoordTargetIndex = -3;
  window->OpSourse_Click(0);
  window->OpReceive_Click(1);
  EXPECT_EQ(window->ComboDataFormat->currentIndex(), 0);
  EXPECT_EQ(state.CoordTargetIndex, 0);
}

// The raw data lists end, before the exchange entries, with the computed coordinate list, its
// text from "[Survey Texts]"; a settings file from before that section loads and shows the
// English text.
TEST_F(UiTest, RawDataListsEndWithTheComputedCoordinateList) {
  auto lastEntry = [this] {
    return window->ComboDataFormat->itemText(window->ComboDataFormat->count() - 1 - kExchangeCount)
        .toStdString();
  };
  EXPECT_EQ(lastEntry(), "Coordinate list (computed)");
  window->OpSourse_Click(1);
  EXPECT_EQ(lastEntry(), "Coordinate list (computed)");
  window->OpReceive_Click(1);
  EXPECT_EQ(window->ComboDataFormat->count(), 2 + kExchangeCount);
  EXPECT_EQ(lastEntry(), "KOF coordinate file");

  SetKey("Survey Texts", "ComputedCoordinates", "Koordinatliste (beregnet)");
  Reload();
  EXPECT_EQ(lastEntry(), "Koordinatliste (beregnet)");

  std::string text = ReadFileBytes(state.IniFilePath);
  const size_t section = text.find("\r\n[Survey Texts]");
  ASSERT_NE(section, std::string::npos);
  text.erase(section);
  WriteFileBytes(state.IniFilePath, text);
  state.RawTargetIndex = 5;
  ASSERT_TRUE(WriteKey(state.IniFilePath, "Default", "ComboDataFormatN", "5"));
  Reload();
  EXPECT_EQ(window->ComboDataFormat->count(), 6 + kExchangeCount);
  EXPECT_EQ(lastEntry(), "Coordinate list (computed)");
  EXPECT_EQ(window->ComboDataFormat->currentIndex(), 5);
  EXPECT_FALSE(window->CheckOrigDF->isHidden());
}

// Settings button and original-copy box for every source, kind and position.
TEST_F(UiTest, SettingsButtonAndCopyBoxFollowTheTarget) {
  struct Case {
    int source, kind, position;
    bool settings, copy;
    std::string tip;
  };
  const Case cases[] = {
      {0, 0, 0, false, false, ""},
      {0, 0, 1, true, true, "KOF settings"},
      {0, 0, 2, false, true, "MAPA2 settings"},
      {0, 0, 3, false, false, "SDR-2x settings"},
      {0, 0, 4, false, false, "SDR-2x settings"},
      {0, 0, 5, false, true, ""},
      {0, 1, 0, true, true, "Coordinate file settings"},
      {0, 1, 1, true, true, "DXF settings"},
      {0, 1, 3, true, false, "SDR-2x settings"},
      {0, 1, 4, true, false, "SDR-33 settings"},
      {1, 0, 0, true, false, "KOF settings"},
      {1, 0, 1, false, false, "MAPA2 settings"},
      {1, 0, 2, false, false, ""},
      {1, 1, 0, true, false, "DXF settings"},
      {1, 1, 1, true, false, "KOF settings"},
  };
  for (const Case& c : cases) {
    window->OpSourse_Click(c.source);
    window->OpReceive_Click(c.kind);
    window->ComboDataFormat->setCurrentIndex(c.position);
    window->ComboDataFormat_Click();
    const std::string where =
        std::to_string(c.source) + "/" + std::to_string(c.kind) + "/" + std::to_string(c.position);
    EXPECT_EQ(!window->ComSaveSetings->isHidden(), c.settings) << where;
    EXPECT_EQ(!window->CheckOrigDF->isHidden(), c.copy) << where;
    EXPECT_EQ(window->ComSaveSetings->toolTip().toStdString(), c.tip) << where;
  }
  EXPECT_EQ(state.CoordFileTargetIndex, 1);
  window->OpSourse_Click(0);
  window->OpReceive_Click(2);
  EXPECT_TRUE(window->ComSaveSetings->isHidden());
  EXPECT_TRUE(window->CheckOrigDF->isHidden());
}

TEST_F(UiTest, SourceFileDialogTitleFilterAndChoice) {
  const std::string data = Path("JOB1.RAW");
  WriteFileBytes(data, "x\r\n");
  window->OpSourse_Click(1);
  window->OpReceive_Click(1);
  prompts.fileAnswers = {Path("missing.raw"), data};
  window->ComFileName_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "File not exist.");
  EXPECT_EQ(prompts.messages[0].title, "Select data file");
  EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Critical);
  window->TxFileName->setText(QString::fromStdString(Path("out.kof")));
  window->ComFileName_Click();
  const FileDialogRequest& r = prompts.fileDialogs[1].request;
  EXPECT_EQ(r.title, "Select data file");
  EXPECT_EQ(r.filter,
            "Vexal Raw Data Format v2.0(*.vxl, .dn?, .raw)|*.vxl;*.dn?;*.raw|"
            "Coordinate file (*.asc)|*.asc|All files (*.*)|*.*");
  EXPECT_EQ(r.filterIndex, 2);
  EXPECT_EQ(window->ComFileName->text().toStdString(), "JOB1.RAW");
  EXPECT_EQ(state.JobPath, folder);
  EXPECT_TRUE(window->TxFileName->text().isEmpty());
}

TEST_F(UiTest, QtFiltersFromSettingsFilePairs) {
  EXPECT_EQ(QtFileFilter("KOF raw data file (*.kof)|*.kof"), "KOF raw data file (*.kof) (*.kof)");
  EXPECT_EQ(QtFileFilter("A|*.vxl;*.dn?;*.raw|B|*.asc|All files (*.*)|*.*"),
            "A (*.vxl *.dn? *.raw);;B (*.asc);;All files (*.*) (*)");
  EXPECT_EQ(QtFileFilter("Codes (*.txt; *.cod)|*.txt; *.cod"),
            "Codes (*.txt; *.cod) (*.txt *.cod)");
  EXPECT_EQ(QtFileFilterAt("A|*.a|B|*.b", 2), "B (*.b)");
  EXPECT_EQ(QtFileFilterAt("A|*.a|B|*.b", 9), "A (*.a)");
  EXPECT_EQ(QtFileFilter(""), "");
}

TEST_F(UiTest, SaveDialogFilterAndOverwriteQuestion) {
  window->ComboDataFormat->setCurrentIndex(1);
  window->ComboDataFormat_Click();
  const std::string existing = Path("JOB.KOF");
  WriteFileBytes(existing, "old\r\n");
  prompts.fileAnswers = {existing, existing};
  // Cancel shows the save dialog again; Append is kept.
  dialogs.scripts = {ScriptedDialogs::Clicking("ComCancel"),
                     ScriptedDialogs::Clicking("ComAppend")};
  window->ComSaveBrowse_Click();
  ASSERT_EQ(prompts.fileDialogs.size(), 2u);
  EXPECT_TRUE(prompts.fileDialogs[0].save);
  EXPECT_EQ(prompts.fileDialogs[0].request.filter, "KOF raw data file (*.kof)|*.kof");
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"F_Msg", "F_Msg"}));
  EXPECT_EQ(window->TxFileName->text().toStdString(), existing);
  EXPECT_EQ(window->TxFileNameTag(), "Append");
  EXPECT_EQ(state.FileWriteMode, 1);
  EXPECT_EQ(state.SaveAsPath, folder);
  EXPECT_FALSE(window->RecheckOutputFile());
}

TEST_F(UiTest, QuestionWindowTakesItsTextsFromTheMessages) {
  std::string ini = ReadFileBytes(state.IniFilePath);
  ini.insert(ini.find("\r\n[Survey Texts]"), "7,Overwrite or add?\r\n9,Replace\r\n");
  WriteFileBytes(state.IniFilePath, ini);
  Reload();
  WriteFileBytes(Path("a.asc"), "1\r\n");
  window->TxFileName->setText(QString::fromStdString(Path("a.asc")));
  std::string question, replace;
  dialogs.scripts = {[&](QDialog& d) {
    question = d.findChild<QLabel*>("LbMsg")->text().toStdString();
    replace = d.findChild<QPushButton*>("ComOverwite")->text().toStdString();
    EXPECT_EQ(d.windowTitle().toStdString(), "Warning");
    ScriptedDialogs::Click(d, "ComOverwite");
  }};
  window->TestSaveAsFile();
  EXPECT_EQ(question, Path("a.asc") + "\nOverwrite or add?");
  EXPECT_EQ(replace, "Replace");
  EXPECT_EQ(state.FileWriteMode, 2);
  EXPECT_TRUE(state.ActionWord.empty() || state.ActionWord == "Overwite");
}

TEST_F(UiTest, QuestionClosedByItsCloseBoxAnswersNothing) {
  state.FileWriteMode = 1;
  WriteFileBytes(Path("a.asc"), "1\r\n");
  window->TxFileName->setText(QString::fromStdString(Path("a.asc")));
  window->TestSaveAsFile();  // no script: closed by the close box
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(state.FileWriteMode, 1);
  EXPECT_EQ(window->TxFileNameTag(), "");
}

TEST_F(UiTest, IllegalOrUncreatableNamesAreRefused) {
  for (const std::string& name : {Path("a?b.txt"), Path("no/such/folder/x.txt")}) {
    prompts.messages.clear();
    window->TxFileName->setText(QString::fromStdString(name));
    window->ComDLN_Click();
    ASSERT_EQ(prompts.messages.size(), 2u) << name;  // refused, then "no name" for download
    EXPECT_EQ(prompts.messages[0].text, "Cannot create file!\r\nPlease specify other name.");
    EXPECT_EQ(prompts.messages[0].title, "Error");
    EXPECT_EQ(prompts.messages[1].text, "Please specify a file name first!");
    EXPECT_EQ(prompts.messages[1].title, "Warning");
    EXPECT_TRUE(window->TxFileName->text().isEmpty());
  }
}

TEST_F(UiTest, ConvertingAFileOntoItselfIsRefused) {
  WriteFileBytes(Path("JOB1.RAW"), "x\r\n");
  window->OpSourse_Click(1);
  prompts.fileAnswers = {Path("JOB1.RAW")};
  window->ComFileName_Click();
  window->TxFileName->setText(QString::fromStdString(Path("job1.raw")));
  window->ComConv_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Please specify other name.");
  EXPECT_EQ(prompts.messages[0].title, "Warning");
  EXPECT_TRUE(window->TxFileName->text().isEmpty());
  EXPECT_EQ(ReadFileBytes(Path("JOB1.RAW")), "x\r\n");
  // The same file under another spelling of its path.
  window->TxFileName->setText(QString::fromStdString(folder + "./JOB1.RAW"));
  window->ComConv_Click();
  EXPECT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(ReadFileBytes(Path("JOB1.RAW")), "x\r\n");
}

TEST_F(UiTest, ConvertSaysWhatIsMissingFirstTheSourceThenTheOutputName) {
  window->OpSourse_Click(1);
  window->TxFileName->setText(QString::fromStdString(Path("out.kof")));
  window->ComConv_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Select data file");
  EXPECT_EQ(prompts.messages[0].title, "Error");
  EXPECT_TRUE(dialogs.shown.empty());
  WriteFileBytes(Path("job.raw"), "x\r\n");
  prompts.fileAnswers = {Path("job.raw")};
  window->ComFileName_Click();
  window->ComConv_Click();
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1].text, "Please specify filename to save");
  EXPECT_EQ(prompts.messages[1].title, "Error");
}

// The save dialog starts from the source file's name, completes a name typed without an
// extension, and a cancelled dialog changes nothing.
TEST_F(UiTest, SaveDialogProposesCompletesAndKeepsNames) {
  WriteFileBytes(Path("survey.raw"), "x\r\n");
  window->OpSourse_Click(1);
  prompts.fileAnswers = {Path("survey.raw")};
  window->ComFileName_Click();
  WriteFileBytes(Path("job.kof"), "old\r\n");
  prompts.fileAnswers = {Path("job")};
  std::string question;
  dialogs.scripts = {[&](QDialog& d) {
    question = d.findChild<QLabel*>("LbMsg")->text().toStdString();
    ScriptedDialogs::Click(d, "ComOverwite");
  }};
  window->ComSaveBrowse_Click();
  EXPECT_EQ(prompts.fileDialogs.back().request.fileName, "survey.kof");
  EXPECT_EQ(question, Path("job.kof") + "\nDo you wish to overwite or append data?");
  EXPECT_EQ(window->TxFileName->text().toStdString(), Path("job.kof"));
  EXPECT_EQ(window->TxFileNameTag(), "Overwite");
  prompts.fileAnswers = {std::nullopt};
  window->ComSaveBrowse_Click();
  EXPECT_EQ(prompts.fileDialogs.back().request.fileName, Path("job.kof"));
  EXPECT_EQ(window->TxFileName->text().toStdString(), Path("job.kof"));
  EXPECT_EQ(window->TxFileNameTag(), "Overwite");
  EXPECT_FALSE(window->RecheckOutputFile());
}

// A drawing is always written new: the question about an existing one offers no Append.
TEST_F(UiTest, AnExistingDrawingIsOverwrittenOrKeptNeverAppendedTo) {
  WriteFileBytes(Path("pts.dxf"), "0\r\nEOF\r\n");
  for (int source : {0, 1}) {
    window->OpSourse_Click(source);
    window->OpReceive_Click(1);
    window->ComboDataFormat->setCurrentIndex(source == 0 ? 1 : 0);
    window->ComboDataFormat_Click();
    window->TxFileName->setText(QString::fromStdString(Path("pts.dxf")));
    bool appendShown = true;
    bool cancelIsDefault = false;
    std::string question;
    dialogs.scripts = {[&](QDialog& d) {
      appendShown = d.findChild<QPushButton*>("ComAppend")->isVisible();
      cancelIsDefault = d.findChild<QPushButton*>("ComCancel")->isDefault();
      question = d.findChild<QLabel*>("LbMsg")->text().toStdString();
      ScriptedDialogs::Click(d, "ComOverwite");
    }};
    window->TestSaveAsFile();
    EXPECT_FALSE(appendShown) << source;
    EXPECT_TRUE(cancelIsDefault) << source;
    EXPECT_EQ(question, Path("pts.dxf") +
                            "\nA drawing cannot be appended to: it is always written new. "
                            "Overwrite it?")
        << source;
    EXPECT_EQ(state.FileWriteMode, 2);
  }
  // Any other output keeps all three answers.
  window->ComboDataFormat->setCurrentIndex(1);
  window->ComboDataFormat_Click();
  window->TxFileName->setText(QString::fromStdString(Path("pts.dxf")));
  bool appendShown = false;
  dialogs.scripts = {[&](QDialog& d) {
    appendShown = d.findChild<QPushButton*>("ComAppend")->isVisible();
    ScriptedDialogs::Click(d, "ComCancel");
  }};
  window->TestSaveAsFile();
  EXPECT_TRUE(appendShown);
}

TEST_F(UiTest, ViewUsesTheChosenEditorOrTheDesktopDefault) {
  window->TxFileName->setText(QString::fromStdString("  " + Path("a.kof") + " "));
  state.ProgramEditor = "/usr/bin/myedit";
  state.EditorChoice = 0;
  window->ComViewFile_Click();
  state.EditorChoice = 1;
  window->ComViewFile_Click();
  state.ProgramEditor.clear();
  window->ComViewFile_Click();
  ASSERT_EQ(prompts.editorRuns.size(), 3u);
  EXPECT_EQ(prompts.editorRuns[0].editor, "");
  EXPECT_EQ(prompts.editorRuns[1].editor, "/usr/bin/myedit");
  EXPECT_EQ(prompts.editorRuns[1].path, Path("a.kof"));
  EXPECT_EQ(prompts.editorRuns[2].editor, "");
  prompts.editorFault = "File not found: /usr/bin/myedit";
  window->ComViewFile_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Error");
}

TEST_F(UiTest, TypingANameDisablesViewAndAsksAgain) {
  window->ComViewFile->setEnabled(true);
  state.DownloadOK = true;
  window->TxFileName->setText("x");
  EXPECT_FALSE(window->ComViewFile->isEnabled());
  EXPECT_FALSE(state.DownloadOK);
  EXPECT_TRUE(window->RecheckOutputFile());
}

TEST_F(UiTest, ResizeKeepsFramesInsideTheWindow) {
  window->resize(900, 700);
  window->show();
  window->ResizeForm();
  const QRect fr1 = window->Fr1->geometry();
  const QRect fr2 = window->Fr2->geometry();
  EXPECT_LT(fr1.right(), fr2.left());
  EXPECT_NEAR(fr1.width(), fr2.width(), 2);
  EXPECT_GT(fr1.width(), 350);
  const QRect fr3 = window->Fr3->geometry();
  EXPECT_GT(fr3.top(), fr1.bottom());
  EXPECT_NEAR(fr3.width(), 900 - TwipsToPixels(240), 3);
  EXPECT_GT(window->ComDLN->geometry().top(), fr3.bottom());
}

}  // namespace
}  // namespace korv

namespace korv {
namespace {

// The settings button opens the window of the chosen format.
TEST_F(UiTest, SettingsButtonOpensTheFormatsWindow) {
  struct Case {
    int source, kind, position;
    const char* window;
  };
  const Case cases[] = {
      {0, 0, 1, "KOF_Form"},  {0, 0, 3, "F_Sdr"},          {0, 0, 4, "F_Sdr"},
      {0, 1, 0, "CoordForm"}, {0, 1, 1, "DxfFormSetting"}, {0, 1, 2, "KOF_Form"},
      {0, 1, 3, "F_Sdr"},     {1, 0, 0, "KOF_Form"},       {1, 1, 0, "DxfFormSetting"},
      {1, 1, 1, "KOF_Form"},  {0, 0, 2, nullptr},          {1, 0, 1, nullptr},
  };
  for (const Case& c : cases) {
    dialogs.shown.clear();
    window->OpSourse_Click(c.source);
    window->OpReceive_Click(c.kind);
    window->ComboDataFormat->setCurrentIndex(c.position);
    window->ComboDataFormat_Click();
    window->ComSaveSetings_Click();
    const std::vector<std::string> expected =
        c.window ? std::vector<std::string>{c.window} : std::vector<std::string>{};
    EXPECT_EQ(dialogs.shown, expected) << c.source << "/" << c.kind << "/" << c.position;
  }
}

// A settings dialog opened by the button only stores: it never converts.
TEST_F(UiTest, SettingsButtonNeverStartsAConversion) {
  WriteFileBytes(state.ScratchFilePath, "A,1\r\n");
  state.SettingsActionWord = "ConvertToKOF";  // left over from an earlier run
  window->ComboDataFormat->setCurrentIndex(1);
  window->ComboDataFormat_Click();
  window->TxFileName->setText(QString::fromStdString(Path("x.kof")));
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComOK")};
  window->ComSaveSetings_Click();
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"KOF_Form"});
  EXPECT_FALSE(FileExists(Path("x.kof")));
}

TEST_F(UiTest, EnterInTheFileNameMovesToTheTransferButton) {
  window->show();
  window->TxFileName->setFocus();
  window->TxFileName_KeyPress(13);
  EXPECT_EQ(window->focusWidget(), window->ComDLN);
  window->OpSourse_Click(1);
  window->TxFileName_KeyPress(13);
  EXPECT_EQ(window->focusWidget(), window->ComConv);
}

TEST_F(UiTest, TheQuestionComesBeforeEveryTransferToTheSameName) {
  WriteFileBytes(Path("job.raw"), "SS,P1,1.5,10,20,30,,C\r\n");
  WriteFileBytes(Path("job.map"), "old\r\n");
  window->OpSourse_Click(1);
  window->ComboDataFormat->setCurrentIndex(1);  // MAPA 2
  window->ComboDataFormat_Click();
  prompts.fileAnswers = {Path("job.raw"), Path("job.map")};
  window->ComFileName_Click();
  dialogs.scripts = {ScriptedDialogs::Clicking("ComOverwite")};
  window->ComSaveBrowse_Click();
  window->ComConv_Click();  // answered in the dialog: no second question
  dialogs.scripts = {ScriptedDialogs::Clicking("ComAppend")};
  window->ComConv_Click();
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"F_Msg", "F_MsgCon", "F_Msg", "F_MsgCon"}));
  EXPECT_EQ(state.FileWriteMode, 1);
}

}  // namespace
}  // namespace korv

namespace korv {
namespace {

// A new output file chosen after a cancelled question is written whole, not skipped.
TEST_F(UiTest, ANewFileAfterACancelledQuestionIsOverwritten) {
  WriteFileBytes(Path("old.vxl"), "x\r\n");
  prompts.fileAnswers = {Path("old.vxl"), Path("new.vxl")};
  dialogs.scripts = {ScriptedDialogs::Clicking("ComCancel")};
  window->ComSaveBrowse_Click();
  EXPECT_EQ(window->TxFileName->text().toStdString(), Path("new.vxl"));
  EXPECT_EQ(window->TxFileNameTag(), "Overwite");
  EXPECT_EQ(state.FileWriteMode, 2);
}

}  // namespace
}  // namespace korv
