// The settings file as a whole: the default file, loading it into the state and the main
// window's model, the load's failure cases, saving at exit, and single control records.
#include "core/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;

std::string Golden() { return test::ReadFileBytes(test::DataPath("Korvenia.ini")); }

// `text` with the first occurrence of `from` replaced by `to` (which must be there).
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korv_settings_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    state_ = Fresh();
  }
  void TearDown() override { fs::remove_all(dir_); }

  AppState Fresh() const {
    AppState s;
    s.ProgramFolder = s.ExecutableFolder = dir_.string() + "/";
    s.IniFilePath = s.ProgramFolder + kIniFileName;
    return s;
  }
  void Write(const std::string& bytes) { test::WriteFileBytes(state_.IniFilePath, bytes); }
  std::string Read() const { return test::ReadFileBytes(state_.IniFilePath); }
  // Loads `bytes` from the file into a fresh state; returns the load's outcome.
  bool LoadFile(const std::string& bytes, int retry = 0) {
    Write(bytes);
    state_ = Fresh();
    return LoadSettings(state_, retry);
  }

  fs::path dir_;
  AppState state_;
};

TEST_F(SettingsFile, CreateIniFileWritesTheGoldenFile) {
  state_.controls["Fr1"].caption = "changed before recreation";
  UnloadWindowTexts(state_, RecordWindow::Main);  // as start-up does before writing
  state_.SpeedIndex = 2;
  state_.DataSendFormat = 0;
  ASSERT_TRUE(CreateIniFile(state_));
  EXPECT_EQ(Read(), Golden());
  EXPECT_EQ(state_.SpeedIndex, 4);  // the settings return to their defaults
  EXPECT_FALSE(state_.CreatingIniFile);
}

TEST_F(SettingsFile, CreateIniFileKeepsDataSendFormatAndOnScreenTexts) {
  state_.DataSendFormat = 2;
  state_.controls["ComExit"] = DesignControlTexts().at("ComExit");
  state_.controls["ComExit"].caption = "E&xit now";
  ASSERT_TRUE(CreateIniFile(state_));
  std::string file = Read();
  EXPECT_NE(file.find("DataSendFormat= 2 \r\n"), std::string::npos);
  EXPECT_NE(file.find("[ComExit]\r\nCaption=E&xit now\r\n"), std::string::npos);
}

TEST_F(SettingsFile, CreateIniFileKeepsTheEncodingOfTheFileItReplaces) {
  Write("[Main Form]\r\nCaption=M\xE5l\r\n");  // Windows-1252 bytes
  state_.controls["Fr1"] = DesignControlTexts().at("Fr1");
  state_.controls["Fr1"].caption = "Kilde (m\xC3\xA5l)";  // UTF-8 in the program
  ASSERT_TRUE(CreateIniFile(state_));
  std::string file = Read();
  EXPECT_NE(file.find("Caption=Kilde (m\xE5l)\r\n"), std::string::npos);

  // A UTF-8 file with a byte-order mark stays UTF-8 with its mark.
  Write("\xEF\xBB\xBF[Main Form]\r\n");
  ASSERT_TRUE(CreateIniFile(state_));
  file = Read();
  EXPECT_EQ(file.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(file.find("Caption=Kilde (m\xC3\xA5l)\r\n"), std::string::npos);
}

TEST_F(SettingsFile, HelpFileNameLiesBesideTheProgramUnlessItIsAFullPath) {
  IniFile edited = IniFile::FromBytes(Golden());
  edited.Set("Help file", "HelpFileName", "/srv/manual.rtf");
  ASSERT_TRUE(LoadFile(edited.ToBytes()));
  EXPECT_EQ(state_.HelpFileName, "/srv/manual.rtf");
}

TEST_F(SettingsFile, LoadsTheDefaultFile) {
  ASSERT_TRUE(LoadFile(Golden()));
  const AppState& s = state_;
  EXPECT_EQ(s.Messages[1], "Receive");
  EXPECT_EQ(s.Messages[7], "Do you wish to overwite or append data?");
  EXPECT_EQ(s.Messages[47], "Conversion finished");
  EXPECT_EQ(s.Messages[48], "");
  EXPECT_EQ(s.FileTypeMessages[3], "Vexal Raw Data Format v2.0(*.vxl, .dn?, .raw)");
  EXPECT_EQ(s.FileTypeMessages[6], "");  // the one-blank line is not an entry
  EXPECT_EQ(s.RawOptionCount, 5);
  EXPECT_EQ(s.RawOptions[5], "SDR-33 raw data file");
  EXPECT_EQ(s.CoordOptionCount, 5);
  EXPECT_EQ(s.RawFileOptionCount, 2);
  EXPECT_EQ(s.CoordFileOptions[2], "KOF coordinate file");
  EXPECT_EQ(s.ToolTipsNR[4], "SDR-2x settings");
  EXPECT_EQ(s.ToolTipsCo[5], "");
  EXPECT_EQ(s.ToolTipsCoF[1], "KOF settings");
  EXPECT_EQ(s.HelpFileName, s.ExecutableFolder + "KorveniaManual.doc");
  EXPECT_EQ(s.HelpProgShow, "WORDPAD.EXE");
  EXPECT_EQ(s.SpeedIndex, 4);
  EXPECT_EQ(s.controls.at("ComDLN").caption, DesignControlTexts().at("ComDLN").caption);
  EXPECT_EQ(s.controls.count("DL_Form"), 0u);  // only the main and help windows load

  const MainWindowModel& w = s.mainWindow;
  // The received raw data list, the computed coordinate list and the exchange entries after it.
  EXPECT_EQ(w.comboDataFormat.entries.size(), 12u);
  EXPECT_EQ(w.comboDataFormat.entries[5], "Coordinate list (computed)");
  EXPECT_EQ(w.comboDataFormat.entries[6], "GeoPackage file");
  EXPECT_EQ(w.comboDataFormat.entries.back(), "LandXML 1.2 file");
  EXPECT_EQ(w.comboDataFormat.selected, 0);
  EXPECT_FALSE(w.checkOrigDFVisible);  // raw data kept in the instrument's format
  EXPECT_FALSE(w.comSaveSetingsVisible);
  EXPECT_EQ(w.comboDataFormatSend.entries,
            (std::vector<std::string>{"Coordinate file", "Vexal Code file", "KOF"}));
  EXPECT_TRUE(w.comSettingSendVisible);
  EXPECT_EQ(w.stCombComm[1].entries[static_cast<size_t>(w.stCombComm[1].selected)], "19200");
  EXPECT_EQ(w.stCombComm[3].entries[static_cast<size_t>(w.stCombComm[3].selected)], "Xon/Xoff");
  EXPECT_EQ(w.stCombCoord[1].entries.size(), 3u);
  EXPECT_FALSE(w.txEditorVisible);
}

TEST_F(SettingsFile, SaveAndLoadRoundTrip) {
  ASSERT_TRUE(LoadFile(Golden()));
  state_.SourceKind = 1;
  state_.CoordTargetIndex = 3;
  state_.SpeedIndex = 2;
  state_.CheckOrigDFState = 1;
  state_.EditorChoice = 1;
  state_.ProgramEditor = "/usr/bin/kate";
  state_.JobPath = "/home/surveyor/jobs/";
  state_.DataSendFormat = 2;
  ControlTexts& exit = state_.controls.at("ComExit");
  exit.caption = "&Quit";
  exit.fontBold = true;
  exit.fontSize = 9.75;
  exit.width = 1215.5;
  ASSERT_TRUE(SaveSettings(state_));

  std::string file = Read();
  EXPECT_NE(file.find("[ComExit]\r\nCaption=&Quit\r\nFontName=MS Sans Serif\r\nFontBold=True\r\n"
                      "FontItalic=False\r\nFontSize=9.75    \r\n"),
            std::string::npos);
  EXPECT_NE(file.find("Width=1216\r\n"), std::string::npos);
  EXPECT_NE(file.find("Speed=2\r\n"), std::string::npos);
  EXPECT_NE(file.find("[Messages]\r\n1,Receive\r\n"), std::string::npos);  // lists kept

  AppState again = Fresh();
  ASSERT_TRUE(LoadSettings(again, 0));
  EXPECT_EQ(again.SpeedIndex, 2);
  EXPECT_EQ(again.CoordTargetIndex, 3);
  EXPECT_EQ(again.JobPath, "/home/surveyor/jobs/");
  EXPECT_EQ(again.ProgramEditor, "/usr/bin/kate");
  EXPECT_EQ(again.mainWindow.txEditor, "/usr/bin/kate");
  EXPECT_TRUE(again.mainWindow.txEditorVisible);
  EXPECT_EQ(again.mainWindow.opReceive, 1);
  EXPECT_EQ(again.mainWindow.comboDataFormat.entries[3], "SDR-2x coordinate file");
  EXPECT_EQ(again.mainWindow.comboDataFormat.selected, 3);
  EXPECT_TRUE(again.mainWindow.checkOrigDFChecked);
  EXPECT_FALSE(again.mainWindow.comSettingSendVisible);
  const ControlTexts& t = again.controls.at("ComExit");
  EXPECT_EQ(t.caption, "&Quit");
  EXPECT_TRUE(t.fontBold);
  EXPECT_DOUBLE_EQ(t.fontSize, 9.75);
  EXPECT_DOUBLE_EQ(t.width, 1216);

  // The download window was not loaded: its texts go back unchanged.
  EXPECT_NE(file.find("[DL_Form]\r\nCaption=" + DesignControlTexts().at("DL_Form").caption),
            std::string::npos);
  // The file-name button's caption changes at run time and is not saved.
  again.controls.at("ComFileName").caption = "job1.raw";
  ASSERT_TRUE(SaveSettings(again));
  EXPECT_EQ(Read().find("job1.raw"), std::string::npos);
}

TEST_F(SettingsFile, OptionListsHoldAtMostNineteenEntries) {
  std::string nineteen = "[Vexal RAW data options]\r\n";
  for (int i = 1; i <= 19; ++i) nineteen += "Target " + std::to_string(i) + "\r\n\r\n";
  std::string golden = Golden();
  size_t from = golden.find("[Vexal RAW data options]\r\n");
  size_t to = golden.find("[Coortinate data options]");
  std::string file19 = golden.substr(0, from) + nineteen + golden.substr(to);
  ASSERT_TRUE(LoadFile(file19));
  EXPECT_EQ(state_.RawOptionCount, 19);
  EXPECT_EQ(state_.RawOptions[19], "Target 19");
  // and the computed and the six exchange entries
  EXPECT_EQ(state_.mainWindow.comboDataFormat.Count(), 26);

  std::string file20 = Replaced(file19, "Target 19\r\n", "Target 19\r\nTarget 20\r\n");
  EXPECT_FALSE(LoadFile(file20));
  EXPECT_FALSE(state_.SettingsReadOK);
}

TEST_F(SettingsFile, MisplacedHeaderBecomesAListEntry) {
  std::string file = Replaced(Golden(), "Vexal Code file\r\n",
                              "Vexal Code file\r\n\r\n   \r\n[Coordinate order]\r\n");
  ASSERT_TRUE(LoadFile(file));
  EXPECT_EQ(state_.mainWindow.comboDataFormatSend.entries,
            (std::vector<std::string>{"Coordinate file", "Vexal Code file", "[Coordinate order]",
                                      "KOF"}));
  EXPECT_EQ(state_.mainWindow.stCombCoord[0].entries, (std::vector<std::string>{"NEZ", "ENZ"}));
}

TEST_F(SettingsFile, MessageRows) {
  std::string rows =
      "[Messages]\r\n"
      "12,Cannot create file, really, truly!\r\n"
      "0,zero\r\n"
      "200,two hundred\r\n"
      ",5,starts with a comma\r\n"
      "no comma at all\r\n"
      "   \r\n"
      "  199 ,  last row  \r\n"
      "3,first\r\n"
      "3,second\r\n"
      "20.5,rounded to the even neighbour\r\n";
  std::string golden = Golden();
  std::string file = golden.substr(0, golden.find("[Messages]\r\n")) + rows;
  ASSERT_TRUE(LoadFile(file));
  EXPECT_EQ(state_.Messages[12], "Cannot create file, really, truly!");
  EXPECT_EQ(state_.Messages[0], "");
  EXPECT_EQ(state_.Messages[200], "");
  EXPECT_EQ(state_.Messages[5], "");
  EXPECT_EQ(state_.Messages[199], "  last row");
  EXPECT_EQ(state_.Messages[3], "second");
  EXPECT_EQ(state_.Messages[20], "rounded to the even neighbour");

  // Rows end at the next header.
  ASSERT_TRUE(LoadFile(golden + "[Later]\r\n48,not a message\r\n"));
  EXPECT_EQ(state_.Messages[48], "");
}

TEST_F(SettingsFile, EveryStartBeginsWithTheInstrumentAsSource) {
  ASSERT_TRUE(LoadFile(Replaced(Golden(), "OpSourse= 0 ", "OpSourse=1")));
  EXPECT_EQ(state_.SourceIndex, 0);
  EXPECT_EQ(state_.mainWindow.opSourse, 0);
}

TEST_F(SettingsFile, OutOfListSpeedSelectsAndSavesTheFirstEntry) {
  ASSERT_TRUE(LoadFile(Replaced(Golden(), "Speed= 4 ", "Speed=9")));
  EXPECT_EQ(state_.SpeedIndex, 0);
  EXPECT_EQ(state_.mainWindow.stCombComm[1].selected, 0);
  ASSERT_TRUE(SaveSettings(state_));
  EXPECT_NE(Read().find("\r\nSpeed=0\r\n"), std::string::npos);
}

TEST_F(SettingsFile, IntegerKeysRoundHalvesToEvenAndStayInSixteenBits) {
  ASSERT_TRUE(LoadFile(Replaced(Golden(), "DataBits= 1 ", "DataBits= 0.5")));
  EXPECT_EQ(state_.DataBitsIndex, 0);
  ASSERT_TRUE(LoadFile(Replaced(Golden(), "Port= 0 ", "Port=-1")));
  EXPECT_EQ(state_.mainWindow.stCombComm[0].selected, -1);  // nothing selected
  ASSERT_TRUE(LoadFile(Replaced(Golden(), "CheckOrigDF= 0 ", "CheckOrigDF=32767")));
  EXPECT_TRUE(state_.mainWindow.checkOrigDFChecked);
  EXPECT_FALSE(LoadFile(Replaced(Golden(), "CheckOrigDF= 0 ", "CheckOrigDF=32768")));
  EXPECT_FALSE(LoadFile(Replaced(Golden(), "Port= 0 ", "Port=-2")));  // the list refuses it
  EXPECT_FALSE(LoadFile(Replaced(Golden(), "OpReceive= 0 ", "OpReceive=3")));
}

TEST_F(SettingsFile, MainWindowFollowsTheDataKind) {
  ASSERT_TRUE(LoadFile(Replaced(Replaced(Golden(), "OpReceive= 0 ", "OpReceive=2"),
                                "StOpEditor= 0 ", "StOpEditor=7")));
  const MainWindowModel& w = state_.mainWindow;
  EXPECT_EQ(w.opReceive, 2);
  EXPECT_FALSE(w.comboDataFormat.visible);
  EXPECT_FALSE(w.lbDataFormatVisible);
  EXPECT_FALSE(w.checkOrigDFVisible);
  EXPECT_FALSE(w.comSaveSetingsVisible);
  EXPECT_EQ(state_.EditorChoice, 0);
  EXPECT_EQ(w.stOpEditor, 0);

  ASSERT_TRUE(LoadFile(Replaced(Golden(), "ComboDataFormatN= 0 ", "ComboDataFormatN=2")));
  EXPECT_EQ(state_.mainWindow.comboDataFormat.selected, 2);
  EXPECT_TRUE(state_.mainWindow.checkOrigDFVisible);
  EXPECT_TRUE(state_.mainWindow.comSaveSetingsVisible);

  ASSERT_TRUE(LoadFile(Replaced(Golden(), "ComboDataFormatN= 0 ", "ComboDataFormatN=12")));
  EXPECT_EQ(state_.RawTargetIndex, 0);
  EXPECT_EQ(state_.mainWindow.comboDataFormat.selected, 0);
}

TEST_F(SettingsFile, FailureExits) {
  std::string golden = Golden();
  // A missing file fails on both attempts.
  state_ = Fresh();
  EXPECT_FALSE(LoadSettings(state_, 0));
  EXPECT_FALSE(LoadSettings(state_, 1));
  // An empty caption fails the first attempt only.
  std::string noCaption =
      Replaced(golden, "[Fr2]\r\nCaption=Receiving data format:", "[Fr2]\r\nCaption=");
  EXPECT_FALSE(LoadFile(noCaption));
  EXPECT_TRUE(LoadFile(noCaption, 1));
  EXPECT_EQ(state_.controls.at("Fr2").caption, DesignControlTexts().at("Fr2").caption);
  // A missing header of the scanned lists.
  EXPECT_FALSE(LoadFile(Replaced(golden, "[Default]", "[Defaults]")));
  EXPECT_FALSE(LoadFile(Replaced(golden, "[Messages for file types]", "[File types]")));
  // A truth value that is neither a word nor a number.
  EXPECT_FALSE(LoadFile(Replaced(golden, "FontBold=False", "FontBold=maybe")));
  // A size no control takes, and sizes no screen shows.
  EXPECT_FALSE(LoadFile(Replaced(golden, "FontSize= 8.25 ", "FontSize=-3")));
  EXPECT_FALSE(LoadFile(Replaced(golden, "FontSize= 8.25 ", "FontSize= 2000 ")));
  EXPECT_FALSE(LoadFile(Replaced(golden, "Height= 5475 ", "Height= 2000000000 ")));
  EXPECT_FALSE(LoadFile(Replaced(golden, "Width=7710", "Width=144001")));
  EXPECT_TRUE(LoadFile(
      Replaced(Replaced(golden, "FontSize= 8.25 ", "FontSize=100"), "Width=7710", "Width=144000")));
}

TEST_F(SettingsFile, OneStrayWindows1252ByteGarblesOneLineOnly) {
  // A UTF-8 translation that another program saved one Windows-1252 "\xF8" into.
  const std::string caption = "Caption=Kilde for m\xC3\xA5ling\r\n";
  const std::string stray = "2,Send til instrument (\xF8st)\r\n";
  std::string file = Replaced(Golden(), "Caption=Source:\r\n", caption);
  file = Replaced(file, "1,Receive\r\n", "1,Motta fra m\xC3\xA5ler\r\n");
  file = Replaced(file, "2,Send\r\n", stray);
  ASSERT_TRUE(LoadFile(file));
  EXPECT_EQ(state_.controls.at("Fr1").caption, "Kilde for m\xC3\xA5ling");
  EXPECT_EQ(state_.Messages[1], "Motta fra m\xC3\xA5ler");
  EXPECT_EQ(state_.Messages[2], "Send til instrument (\xC3\xB8st)");

  // Lines the exit does not change keep their bytes; a changed one is UTF-8 like the file.
  state_.JobPath = "/srv/\xC3\xB8st";
  ASSERT_TRUE(SaveSettings(state_));
  const std::string saved = Read();
  EXPECT_NE(saved.find("[Fr1]\r\n" + caption), std::string::npos);
  EXPECT_NE(saved.find("1,Motta fra m\xC3\xA5ler\r\n" + stray), std::string::npos);
  EXPECT_NE(saved.find("JobPath=/srv/\xC3\xB8st\r\n"), std::string::npos);
}

TEST_F(SettingsFile, ControlRecordValues) {
  IniFile ini = IniFile::FromBytes(
      "[Fr1]\r\nCaption=Kilde:\r\nFontBold=tRUE\r\nFontItalic=2\r\nFontSize= 8,25 \r\n"
      "Height=\t3 75\r\nWidth=1e3\r\nToolTipText=\r\n"
      "[Fr2]\r\nFontItalic=0\r\nFontBold=FALSE\r\n");
  AppState s;
  ControlTexts t = DesignControlTexts().at("Fr1");
  std::string designTip = t.toolTip;
  s.SettingsReadOK = true;
  s.ActionWord = "Stop";
  ASSERT_TRUE(ApplyControlRecord(ini, "Fr1", ControlRecordKind::Captioned, t, s));
  EXPECT_EQ(t.caption, "Kilde:");
  EXPECT_TRUE(t.fontBold);
  EXPECT_TRUE(t.fontItalic);
  EXPECT_DOUBLE_EQ(t.fontSize, 8);  // a decimal comma ends the number
  EXPECT_DOUBLE_EQ(t.height, 375);  // blanks and tabs are skipped
  EXPECT_DOUBLE_EQ(t.width, 1000);
  EXPECT_EQ(t.toolTip, designTip);  // an empty value leaves the property
  EXPECT_EQ(t.fontName, "MS Sans Serif");
  EXPECT_TRUE(s.SettingsReadOK);
  EXPECT_EQ(s.ActionWord, "");

  ASSERT_TRUE(ApplyControlRecord(ini, "Fr2", ControlRecordKind::Captioned, t, s));
  EXPECT_FALSE(s.SettingsReadOK);  // no caption
  EXPECT_FALSE(t.fontBold);
  EXPECT_FALSE(t.fontItalic);

  // Kinds decide the lines: a combo box has no Height, a window no tool tip.
  std::string out;
  ControlTexts c;
  c.caption = "ignored";
  c.height = 315;
  c.width = 1234.5;  // halves to even
  c.toolTip = "tip";
  WriteControlRecord(out, "StCombComm0", ControlRecordKind::Combo, c);
  EXPECT_EQ(out,
            "[StCombComm0]\r\nFontName=MS Sans Serif\r\nFontBold=False\r\nFontItalic=False\r\n"
            "FontSize= 8.25 \r\nWidth=1234\r\nToolTipText=tip\r\n\r\n");
  out.clear();
  WriteControlRecord(out, "Help_Form", ControlRecordKind::Window, c);
  EXPECT_EQ(out,
            "[Help_Form]\r\nCaption=ignored\r\nFontName=MS Sans Serif\r\nFontBold=False\r\n"
            "FontItalic=False\r\nFontSize= 8.25 \r\nHeight= 315 \r\nWidth=1234\r\n\r\n");
  out.clear();
  WriteControlRecord(out, "Note", ControlRecordKind::TextBox, c);
  EXPECT_EQ(out.substr(0, 22), "[Note]\r\nText=ignored\r\n");
}

TEST_F(SettingsFile, SharedCoordinateRecordsShowInBothDialogs) {
  Write(Golden());
  // The upload field dialog confirms an edited frame caption.
  ControlTexts edited = DesignControlTexts().at("CoordForm_Fr1");
  edited.caption = "Felter";
  ASSERT_TRUE(
      SaveControlRecord(state_.IniFilePath, "CoordForm_Fr1", ControlRecordKind::Captioned, edited));
  std::string file = Read();
  size_t first = file.find("[CoordForm_Fr1]");
  size_t second = file.find("[CoordForm_Fr1]", first + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(file.find("Caption=Felter"), file.find("\r\n", first) + 2);  // the first copy
  EXPECT_EQ(file.find("Caption=Felter", second), std::string::npos);

  // The other dialog loads the same text.
  IniFile ini = IniFile::Load(state_.IniFilePath);
  ASSERT_TRUE(ApplyWindowRecords(ini, RecordWindow::CoordForm, state_));
  EXPECT_EQ(state_.controls.at("CoordForm_Fr1").caption, "Felter");
  UnloadWindowTexts(state_, RecordWindow::CoordForm);
  EXPECT_EQ(state_.controls.count("CoordForm_Fr1"), 0u);
  ASSERT_TRUE(ApplyWindowRecords(ini, RecordWindow::CoordFormUL, state_));
  EXPECT_EQ(state_.controls.at("CoordForm_Fr1").caption, "Felter");

  // While the file is being written, windows other than help keep their design texts.
  state_.controls.clear();
  state_.CreatingIniFile = true;
  ASSERT_TRUE(ApplyWindowRecords(ini, RecordWindow::CoordForm, state_));
  EXPECT_EQ(state_.controls.count("CoordForm_Fr1"), 0u);
}

TEST(TruthValues, WordsInAnyCaseOrNumbers) {
  bool v = false;
  EXPECT_TRUE(ParseTruthValue(" TrUe ", v));
  EXPECT_TRUE(v);
  EXPECT_TRUE(ParseTruthValue("false", v));
  EXPECT_FALSE(v);
  EXPECT_TRUE(ParseTruthValue("-1", v));
  EXPECT_TRUE(v);
  EXPECT_TRUE(ParseTruthValue("0.0", v));
  EXPECT_FALSE(v);
  EXPECT_FALSE(ParseTruthValue("yes", v));
  EXPECT_FALSE(ParseTruthValue("1x", v));
  EXPECT_FALSE(ParseTruthValue(".", v));
}

}  // namespace
}  // namespace korv
