// Conversion dispatch: storing as received, the ".vxl" copy, every target after a download
// and from disk, compared with what the command-line program writes from the same input.
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/file_procs.h"
#include "ui/conversion_dispatch.h"
#include "ui_fixture.h"

namespace korv {
namespace {

const std::string kData = KORVENIA_TEST_DATA;

class DispatchTest : public UiTest {
 protected:
  void Scratch(const std::string& bytes) { WriteFileBytes(state.ScratchFilePath, bytes); }
  DispatchRequest Request(const std::string& output, bool keep = false) {
    DispatchRequest r;
    r.output = output;
    r.sourceCaption = window->ComFileName->text().toStdString();
    r.keepOriginal = keep;
    r.owner = window.get();
    return r;
  }
  // What korvenia-cli writes for the same input with this settings file and time.
  std::string CliOutput(const std::string& from, const std::string& to, const std::string& input,
                        const std::string& outputName) {
    const std::string out = Path("cli/" + outputName);
    mkdir(Path("cli").c_str(), 0755);
    const std::string command = std::string(KORVENIA_CLI) + " convert --from " + from + " --to " +
                                to + " --ini '" + state.IniFilePath +
                                "' --now '2026-12-07 10:30:00' '" + input + "' '" + out + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFileBytes(out);
  }
};

TEST_F(DispatchTest, OverwriteMovesTheReceivedDataInPlace) {
  Scratch("A\r\nB\r\n");
  WriteFileBytes(Path("out.vxl"), "old\r\n");
  state.FileWriteMode = 2;
  StoreAsReceived(*ctx, state.ScratchFilePath, Path("out.vxl"));
  EXPECT_EQ(ReadFileBytes(Path("out.vxl")), "A\r\nB\r\n");
  EXPECT_FALSE(FileExists(state.ScratchFilePath));
  EXPECT_EQ(state.SettingsActionWord, "OK");
}

TEST_F(DispatchTest, AppendAddsTheLinesAndModeZeroWritesNothing) {
  Scratch("A\r\nB\n");
  WriteFileBytes(Path("out.vxl"), "old\r\n");
  state.FileWriteMode = 1;
  StoreAsReceived(*ctx, state.ScratchFilePath, Path("out.vxl"));
  EXPECT_EQ(ReadFileBytes(Path("out.vxl")), "old\r\nA\r\nB\r\n");
  EXPECT_TRUE(FileExists(state.ScratchFilePath));
  state.SettingsActionWord.clear();
  state.FileWriteMode = 0;
  StoreAsReceived(*ctx, state.ScratchFilePath, Path("new.vxl"));
  EXPECT_FALSE(FileExists(Path("new.vxl")));
  EXPECT_NE(state.SettingsActionWord, "OK");
}

TEST_F(DispatchTest, OverwriteAcrossFileSystemsCopiesThenRemovesTheScratchFile) {
  struct stat a {
  }, b{};
  if (stat("/dev/shm", &b) != 0 || stat(folder.c_str(), &a) != 0 || a.st_dev == b.st_dev) {
    GTEST_SKIP() << "no second file system at hand";
  }
  const std::string scratch = "/dev/shm/korvenia-ui-test-" + std::to_string(getpid()) + ".tem";
  WriteFileBytes(scratch, "A\r\nB\r\n");
  WriteFileBytes(Path("out.vxl"), "old\r\n");
  state.FileWriteMode = 2;
  StoreAsReceived(*ctx, scratch, Path("out.vxl"));
  EXPECT_EQ(ReadFileBytes(Path("out.vxl")), "A\r\nB\r\n");
  EXPECT_FALSE(FileExists(scratch));
  EXPECT_FALSE(FileExists(Path("out.vxl.korvenia-new")));
  EXPECT_EQ(state.SettingsActionWord, "OK");
}

TEST_F(DispatchTest, AFailedReplaceKeepsBothFilesAndSaysWhy) {
  Scratch("A\r\n");
  mkdir(Path("taken").c_str(), 0755);
  state.FileWriteMode = 2;
  StoreAsReceived(*ctx, state.ScratchFilePath, Path("taken"));
  EXPECT_EQ(ReadFileBytes(state.ScratchFilePath), "A\r\n");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Error");
  EXPECT_NE(state.SettingsActionWord, "OK");
}

TEST_F(DispatchTest, OriginalCopyTakesTheFirstFreeName) {
  WriteFileBytes(Path("src"), "L1\nL2\r\n");
  WriteFileBytes(Path("JOB1.vxl"), "x");
  SaveOriginalCopy(Path("src"), Path("JOB1.KOF"));
  EXPECT_EQ(ReadFileBytes(Path("JOB11.vxl")), "L1\r\nL2\r\n");
  SaveOriginalCopy(Path("src"), Path("JOB"));
  EXPECT_EQ(ReadFileBytes(Path("JOB.vxl")), "L1\r\nL2\r\n");
  // All twenty names taken: nothing is written.
  WriteFileBytes(Path("F.vxl"), "x");
  for (int k = 1; k <= 19; ++k) WriteFileBytes(Path("F" + std::to_string(k) + ".vxl"), "x");
  SaveOriginalCopy(Path("src"), Path("F.dxf"));
  EXPECT_FALSE(FileExists(Path("F20.vxl")));
  SaveOriginalCopy("", Path("G.kof"));
  EXPECT_FALSE(FileExists(Path("G.vxl")));
}

TEST_F(DispatchTest, ReceivedRawDataThroughTheKofDialogWithACopy) {
  const std::string raw = ReadFileBytes(kData + "/kof/survey.raw");
  Scratch(raw);
  state.SourceKind = 0;
  state.RawTargetIndex = 1;
  state.FileWriteMode = 2;
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComOK")};
  ConvertAfterDownload(*ctx, Request(Path("SURVEY.KOF"), true));
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"KOF_Form"});
  EXPECT_EQ(state.SettingsActionWord, "OK");
  EXPECT_EQ(ReadFileBytes(Path("SURVEY.vxl")), ReadFileBytes(state.ScratchFilePath));
  EXPECT_EQ(ReadFileBytes(Path("SURVEY.KOF")),
            CliOutput("raw", "kof", kData + "/kof/survey.raw", "SURVEY.KOF"));
  // Every name for the copy taken: the user is told so, and where the data is meanwhile.
  for (int k = 1; k <= 19; ++k) WriteFileBytes(Path("SURVEY" + std::to_string(k) + ".vxl"), "x");
  const size_t before = prompts.messages.size();
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComOK")};
  ConvertAfterDownload(*ctx, Request(Path("SURVEY.KOF"), true));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  ASSERT_EQ(prompts.messages.size(), before + 1);
  EXPECT_EQ(prompts.messages.back().text,
            "The copy in the original data format could not be saved beside " +
                Path("SURVEY.KOF") + " (every name from " + Path("SURVEY.vxl") + " to " +
                Path("SURVEY19.vxl") + " is taken). The received data is in " +
                state.ScratchFilePath + " until the next transfer or Exit.");
}

TEST_F(DispatchTest, CancelledKofDialogKeepsTheDataAsReceivedBesideTheOutput) {
  Scratch("A,1\r\nB,2\n");
  state.RawTargetIndex = 1;
  // A file of that name is the user's: the data goes to the next free name.
  WriteFileBytes(Path("SURVEY.vxl"), "mine\r\n");
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComCancel")};
  ConvertAfterDownload(*ctx, Request(Path("SURVEY.KOF"), true));
  EXPECT_EQ(state.SettingsActionWord, "Cancel");
  EXPECT_FALSE(FileExists(Path("SURVEY.KOF")));
  EXPECT_EQ(ReadFileBytes(Path("SURVEY.vxl")), "mine\r\n");
  EXPECT_EQ(ReadFileBytes(Path("SURVEY1.vxl")), "A,1\r\nB,2\r\n");
  EXPECT_FALSE(FileExists(Path("SURVEY2.vxl")));  // one copy, though the copy box was ticked
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "The received data was not converted. It is saved as received in " +
                Path("SURVEY1.vxl") + ".");
  EXPECT_EQ(prompts.messages[0].title, "Warning");
}

TEST_F(DispatchTest, ReceivedDataThatFailsToConvertIsKept) {
  Scratch("P1,200.0,100.0,12.5,WALL\r\n");
  state.SourceKind = 1;
  state.CoordTargetIndex = 1;
  state.FileWriteMode = 2;
  mkdir(Path("pts.dxf").c_str(), 0755);  // no drawing can be written there
  ConvertAfterDownload(*ctx, Request(Path("pts.dxf")));
  EXPECT_EQ(state.SettingsActionWord, "E");
  EXPECT_EQ(ReadFileBytes(Path("pts.vxl")), "P1,200.0,100.0,12.5,WALL\r\n");
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0].title, "Error");
  EXPECT_NE(prompts.messages[1].text.find(Path("pts.vxl")), std::string::npos);
}

TEST_F(DispatchTest, ReceivedRawDataToMapa) {
  Scratch(ReadFileBytes(kData + "/mapa/job.raw"));
  state.RawTargetIndex = 2;
  state.FileWriteMode = 2;
  ConvertAfterDownload(*ctx, Request(Path("job.asc")));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  EXPECT_EQ(ReadFileBytes(Path("job.asc")),
            CliOutput("raw", "mapa", kData + "/mapa/job.raw", "job.asc"));
}

TEST_F(DispatchTest, ReceivedSdrIsStoredAsItCame) {
  for (int kind : {0, 1}) {
    for (int position : {3, 4}) {
      Scratch("SDR line\r\n");
      state.SourceKind = kind;
      (kind == 0 ? state.RawTargetIndex : state.CoordTargetIndex) = position;
      state.FileWriteMode = 2;
      const std::string out = Path("s" + std::to_string(kind) + std::to_string(position) + ".sdr");
      ConvertAfterDownload(*ctx, Request(out, true));
      EXPECT_EQ(ReadFileBytes(out), "SDR line\r\n");
      EXPECT_EQ(state.SettingsActionWord, "OK");
    }
  }
  EXPECT_FALSE(FileExists(Path("s03.vxl")));
}

// Positions a user added to the received raw data list: 13 runs the SDR writer like any other
// conversion (the answer "OK", the copy when ticked); a position without a conversion keeps
// the received data beside the output instead of leaving it in the scratch file.
TEST_F(DispatchTest, AddedListPositionsConvertOrKeepTheData) {
  // Received data, as the receiver stores it: every line ended by CR LF.
  std::string raw;
  for (char c : ReadFileBytes(kData + "/mapa/job.raw"))
    raw += c == '\n' ? std::string("\r\n") : std::string(1, c);
  Scratch(raw);
  state.SourceKind = 0;
  state.RawTargetIndex = 13;
  state.FileWriteMode = 2;
  ConvertAfterDownload(*ctx, Request(Path("job.sdr"), true));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  EXPECT_EQ(ReadFileBytes(Path("job.vxl")), raw);
  EXPECT_EQ(ReadFileBytes(Path("job.sdr")),
            CliOutput("raw", "sdr", state.ScratchFilePath, "job.sdr"));
  state.RawTargetIndex = 12;  // past the entries the window adds to the five stored ones
  ConvertAfterDownload(*ctx, Request(Path("other.txt")));
  EXPECT_NE(state.SettingsActionWord, "OK");
  EXPECT_FALSE(FileExists(Path("other.txt")));
  EXPECT_EQ(ReadFileBytes(Path("other.vxl")), raw);
}

// The entry after the raw data lists' stored ones reduces the raw data to a coordinate list,
// received or from disk, as korvenia-cli does (the golden file is built by hand).
TEST_F(DispatchTest, RawDataToTheComputedCoordinateList) {
  const std::string raw = ReadFileBytes(kData + "/coord/traverse.raw");
  const std::string golden = ReadFileBytes(kData + "/coord/traverse~coord.asc");
  Scratch(raw);
  state.SourceKind = 0;
  state.RawTargetIndex = 5;
  state.FileWriteMode = 2;
  ConvertAfterDownload(*ctx, Request(Path("computed.asc")));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  EXPECT_EQ(ReadFileBytes(Path("computed.asc")), golden);

  WriteFileBytes(Path("traverse.raw"), raw);
  state.SourceIndex = 1;
  state.JobPath = folder;
  window->ComFileName->setText("traverse.raw");
  state.RawFileTargetIndex = 2;
  ConvertFromDisk(*ctx, Request(Path("from_disk.asc")));
  EXPECT_EQ(ReadFileBytes(Path("from_disk.asc")), golden);
  // What was left out is told after each conversion.
  int told = 0;
  for (const auto& m : prompts.messages)
    told += m.text.find("(lines 12, 13, 15)") != std::string::npos;
  EXPECT_EQ(told, 2);
}

TEST_F(DispatchTest, ReceivedCoordinatesToEveryTarget) {
  const std::string asc = ReadFileBytes(kData + "/dxf/all_on.asc");
  state.SourceKind = 1;
  state.FileWriteMode = 2;
  // Position 0: the user-defined coordinate file, with the copy the box asks for.
  Scratch(asc);
  state.CoordTargetIndex = 0;
  ConvertAfterDownload(*ctx, Request(Path("pts.asc"), true));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  const std::string copy =
      "Points,2\r\nP1,200.0,100.0,12.5,WALL\r\n\r\nP2, 250.25, -50.5, 7.125\r\n";
  EXPECT_EQ(ReadFileBytes(Path("pts.vxl")), copy);
  std::remove(Path("pts.vxl").c_str());
  EXPECT_EQ(ReadFileBytes(Path("pts.asc")),
            CliOutput("coord", "asc", kData + "/dxf/all_on.asc", "pts.asc"));
  // Position 1: DXF, with the copy.
  state.CoordTargetIndex = 1;
  ConvertAfterDownload(*ctx, Request(Path("pts.dxf"), true));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  // The copy holds the received lines, each ended by CR LF.
  EXPECT_EQ(ReadFileBytes(Path("pts.vxl")), copy);
  EXPECT_EQ(ReadFileBytes(Path("pts.dxf")),
            CliOutput("coord", "dxf", kData + "/dxf/all_on.asc", "pts.dxf"));
  // Position 2: KOF, converted even when the dialog is cancelled.
  state.CoordTargetIndex = 2;
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComCancel")};
  ConvertAfterDownload(*ctx, Request(Path("pts.kof")));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  EXPECT_EQ(ReadFileBytes(Path("pts.kof")),
            CliOutput("coord", "kof", kData + "/dxf/all_on.asc", "pts.kof"));
}

TEST_F(DispatchTest, ValuesThatDoNotFitAreToldAfterTheConversion) {
  Scratch("P1,100.0,200.0,3.5e38,A\r\nP2,100.0,200.0,1.0,B\r\n");
  state.SourceKind = 1;
  state.CoordTargetIndex = 2;
  state.FileWriteMode = 2;
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComCancel")};
  ConvertAfterDownload(*ctx, Request(Path("pts.kof")));
  EXPECT_EQ(state.SettingsActionWord, "OK");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("written as 0 (line 1)"), std::string::npos)
      << prompts.messages[0].text;
}

TEST_F(DispatchTest, OtherDataIsStoredAsReceived) {
  Scratch("anything\r\n");
  state.SourceKind = 2;
  state.FileWriteMode = 2;
  ConvertAfterDownload(*ctx, Request(Path("o.txt"), true));
  EXPECT_EQ(ReadFileBytes(Path("o.txt")), "anything\r\n");
  EXPECT_FALSE(FileExists(Path("o.vxl")));
}

TEST_F(DispatchTest, FileFromDiskToKofShowsProgressAndFinished) {
  WriteFileBytes(Path("survey.raw"), ReadFileBytes(kData + "/kof/survey.raw"));
  window->OpSourse_Click(1);
  prompts.fileAnswers = {Path("survey.raw")};
  window->ComFileName_Click();
  window->TxFileName->setText(QString::fromStdString(Path("survey.kof")));
  std::string finishedTitle, finishedLine;
  bool secondLineHidden = false;
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComOK"), [&](QDialog& d) {
                       finishedTitle = d.windowTitle().toStdString();
                       finishedLine = d.findChild<QLabel*>("Lb1")->text().toStdString();
                       secondLineHidden = d.findChild<QLabel*>("Lb2")->isHidden();
                       ScriptedDialogs::Click(d, "ComOK");
                     }};
  window->ComConv_Click();
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"KOF_Form", "F_MsgCon"}));
  EXPECT_EQ(finishedTitle, "Finished");
  EXPECT_EQ(finishedLine, "Conversion finished");
  EXPECT_TRUE(secondLineHidden);
  EXPECT_TRUE(window->ComViewFile->isEnabled());
  EXPECT_TRUE(window->RecheckOutputFile());
  EXPECT_EQ(ReadFileBytes(Path("survey.kof")),
            CliOutput("raw", "kof", Path("survey.raw"), "survey.kof"));
}

TEST_F(DispatchTest, FileFromDiskToEveryOtherTarget) {
  WriteFileBytes(Path("job.raw"), ReadFileBytes(kData + "/mapa/job.raw"));
  WriteFileBytes(Path("pts.asc"), ReadFileBytes(kData + "/dxf/all_on.asc"));
  state.SourceIndex = 1;
  state.FileWriteMode = 2;
  state.JobPath = folder;
  window->ComFileName->setText("job.raw");
  state.SourceKind = 0;
  state.RawFileTargetIndex = 1;
  ConvertFromDisk(*ctx, Request(Path("job.map")));
  window->ComFileName->setText("pts.asc");
  state.SourceKind = 1;
  state.CoordFileTargetIndex = 0;
  dialogs.scripts = {ScriptedDialogs::Clicking("DxfFormSetting_ComOK")};
  ConvertFromDisk(*ctx, Request(Path("pts.dxf")));
  state.CoordFileTargetIndex = 1;
  dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComOK")};
  ConvertFromDisk(*ctx, Request(Path("pts.kof")));
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"F_MsgCon", "DxfFormSetting", "F_MsgCon",
                                                     "KOF_Form", "F_MsgCon"}));
  EXPECT_EQ(ReadFileBytes(Path("job.map")), CliOutput("raw", "mapa", Path("job.raw"), "job.map"));
  EXPECT_EQ(ReadFileBytes(Path("pts.dxf")), CliOutput("coord", "dxf", Path("pts.asc"), "pts.dxf"));
  EXPECT_EQ(ReadFileBytes(Path("pts.kof")), CliOutput("coord", "kof", Path("pts.asc"), "pts.kof"));
}

TEST_F(DispatchTest, CancelledDxfDialogEndsWithoutTheFinishedBox) {
  WriteFileBytes(Path("pts.asc"), ReadFileBytes(kData + "/dxf/all_on.asc"));
  state.SourceIndex = 1;
  state.SourceKind = 1;
  state.JobPath = folder;
  window->ComFileName->setText("pts.asc");
  dialogs.scripts = {ScriptedDialogs::Clicking("DxfFormSetting_ComCancel")};
  ConvertFromDisk(*ctx, Request(Path("pts.dxf")));
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"DxfFormSetting"});
  EXPECT_FALSE(FileExists(Path("pts.dxf")));
  EXPECT_EQ(state.SettingsActionWord, "Cancel");
}

TEST_F(DispatchTest, PositionWithoutActionSaysNothingWasConverted) {
  WriteFileBytes(Path("pts.asc"), "1,2,3,4,X\r\n");
  state.SourceIndex = 1;
  state.SourceKind = 1;
  state.CoordFileTargetIndex = 8;  // past the entries the window adds to the two stored ones
  state.JobPath = folder;
  window->ComFileName->setText("pts.asc");
  DispatchRequest request = Request(Path("out.txt"));
  request.formatText = "GeoJSON file";
  ConvertFromDisk(*ctx, request);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(FileExists(Path("out.txt")));
  EXPECT_NE(state.SettingsActionWord, "OK");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Nothing was converted: \"GeoJSON file\" has no conversion for this data.");
}

TEST_F(DispatchTest, NoSourceFileChosenDoesNothing) {
  state.SourceIndex = 1;
  window->ComFileName->setText("<filename>");
  ConvertFromDisk(*ctx, Request(Path("out.kof")));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DispatchTest, AConverterFaultIsShownAndNotReportedAsSuccess) {
  state.SourceIndex = 1;
  state.SourceKind = 0;
  state.RawFileTargetIndex = 1;
  state.JobPath = folder;
  window->ComFileName->setText("missing.raw");
  WriteFileBytes(Path("old.map"), "keep\r\n");
  ConvertFromDisk(*ctx, Request(Path("old.map")));
  EXPECT_EQ(state.SettingsActionWord, "E");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Error");
  EXPECT_EQ(ReadFileBytes(Path("old.map")), "keep\r\n");
  // The fault is the last word: no "Conversion finished" after it.
  EXPECT_TRUE(dialogs.shown.empty());
}

// The window's event loop goes on while a conversion runs: the input here is a pipe that only
// a timer of that loop fills. Were the loop blocked, a watchdog would fill the pipe after 20 s
// and the test would fail instead of hanging.
TEST_F(DispatchTest, TheWindowGoesOnWhileAConversionRuns) {
  const std::string data = ReadFileBytes(kData + "/mapa/job.raw");
  WriteFileBytes(Path("copy.raw"), data);
  ASSERT_EQ(mkfifo(Path("job.raw").c_str(), 0600), 0);
  state.SourceIndex = 1;
  state.SourceKind = 0;
  state.RawFileTargetIndex = 1;
  state.FileWriteMode = 2;
  state.JobPath = folder;
  window->ComFileName->setText("job.raw");
  std::atomic<bool> filled{false};
  bool byTimer = false;
  auto fill = [&] {
    if (!filled.exchange(true)) WriteFileBytes(Path("job.raw"), data);
  };
  QTimer::singleShot(100, [&] {
    byTimer = !filled;
    fill();
  });
  std::thread watchdog([&] {
    for (int i = 0; i < 200 && !filled; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    fill();
  });
  ConvertFromDisk(*ctx, Request(Path("job.map")));
  watchdog.join();
  EXPECT_TRUE(byTimer);
  EXPECT_EQ(state.SettingsActionWord, "OK");
  EXPECT_EQ(ReadFileBytes(Path("job.map")), CliOutput("raw", "mapa", Path("copy.raw"), "job.map"));
}

}  // namespace
}  // namespace korv
