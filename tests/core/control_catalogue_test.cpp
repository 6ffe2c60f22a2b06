// Tests of the control record catalogue: record order and kinds as the settings file holds
// them, the shared coordinate dialog records, the design values a fresh file is seeded with,
// and agreement with the golden default settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/control_records.h"
#include "test_support.h"

namespace korv {
namespace {

const char* const kSharedCoordRecords[] = {
    "CoordForm_Fr1", "CoordForm_Fr2", "CoordForm_Lb0", "CoordForm_Lb1", "CoordForm_Lb2",
    "CoordForm_Lb3", "CoordForm_Lb4", "CoordForm_Op0", "CoordForm_Op1", "CoordForm_ComOk"};

bool HasCaptionLine(ControlRecordKind kind) {
  return kind == ControlRecordKind::Captioned || kind == ControlRecordKind::Window ||
         kind == ControlRecordKind::TextBox;
}
bool HasToolTipLine(ControlRecordKind kind) { return kind != ControlRecordKind::Window; }

TEST(ControlCatalogue, WindowsInFileOrderWithTheirRecordCounts) {
  const auto& records = ControlCatalogue();
  ASSERT_EQ(records.size(), 160u);

  struct Block {
    RecordWindow window;
    size_t count;
    const char* first;
    const char* last;
  };
  const Block blocks[] = {
      {RecordWindow::Main, 52, "Main Form", "ComEditorBrowse"},
      {RecordWindow::Download, 17, "DL_Form", "DL_ComCancel"},
      {RecordWindow::Upload, 18, "UL_Form", "UL_ComCancel"},
      {RecordWindow::Kof, 16, "KOF_Form", "KOF_ComCancel"},
      {RecordWindow::CoordForm, 11, "CoordForm", "CoordForm_ComOk"},
      {RecordWindow::CoordFormUL, 11, "CoordFormUL", "CoordForm_ComOk"},
      {RecordWindow::Dxf, 21, "DxfFormSetting", "DxfFormSetting_ComSelColor2"},
      {RecordWindow::Help, 14, "Help_Form", "Help_ComOK"},
  };
  size_t at = 0;
  for (const Block& block : blocks) {
    SCOPED_TRACE(block.first);
    ASSERT_LE(at + block.count, records.size());
    EXPECT_EQ(records[at].name, block.first);
    EXPECT_EQ(records[at + block.count - 1].name, block.last);
    // Each window's records are contiguous and only the first is the window itself.
    for (size_t i = at; i < at + block.count; ++i) {
      EXPECT_EQ(records[i].window, block.window) << records[i].name;
      EXPECT_EQ(records[i].kind == ControlRecordKind::Window, i == at) << records[i].name;
    }
    EXPECT_EQ(ControlRecordsOf(block.window).size(), block.count);
    at += block.count;
  }
}

TEST(ControlCatalogue, KindsAsListed) {
  const std::set<std::string> values = {
      "TxFileName",      "TxFileNameSend",    "TxEditor",        "DL_LbBaundRate1",
      "DL_LbDataBits1",  "DL_LbParity1",      "DL_LbStopBit1",   "DL_LbFlowControl1",
      "DL_LbDataformat", "UL_LbBaundRate1",   "UL_LbDataBits1",  "UL_LbParity1",
      "UL_LbStopBit1",   "UL_LbFlowControl1", "UL_LbDataformat", "KOF_Tx1",
      "KOF_Tx2",         "KOF_Tx3",           "KOF_Tx4",         "KOF_Tx5"};
  const std::set<std::string> combos = {"ComboDataFormat", "ComboDataFormatSend", "StCombComm0",
                                        "StCombComm1",     "StCombComm2",         "StCombComm3",
                                        "StCombCoord0",    "StCombCoord1"};
  const std::set<std::string> windows = {"Main Form", "DL_Form",     "UL_Form",        "KOF_Form",
                                         "CoordForm", "CoordFormUL", "DxfFormSetting", "Help_Form"};
  for (const ControlRecordDef& record : ControlCatalogue()) {
    ControlRecordKind expected = ControlRecordKind::Captioned;
    if (values.count(record.name)) expected = ControlRecordKind::Value;
    if (combos.count(record.name)) expected = ControlRecordKind::Combo;
    if (windows.count(record.name)) expected = ControlRecordKind::Window;
    EXPECT_EQ(record.kind, expected) << record.name;
  }
}

TEST(ControlCatalogue, NamesUniqueExceptTheSharedCoordinateRecords) {
  const auto& records = ControlCatalogue();
  std::set<std::string> seen;
  std::vector<std::string> repeated;
  for (const ControlRecordDef& record : records) {
    if (!seen.insert(record.name).second) repeated.push_back(record.name);
  }
  EXPECT_EQ(repeated, std::vector<std::string>(std::begin(kSharedCoordRecords),
                                               std::end(kSharedCoordRecords)));

  // Both dialogs show the same texts, so the two copies carry the same design values.
  const auto first = ControlRecordsOf(RecordWindow::CoordForm);
  const auto second = ControlRecordsOf(RecordWindow::CoordFormUL);
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 1; i < first.size(); ++i) {
    EXPECT_EQ(first[i]->name, second[i]->name);
    EXPECT_EQ(first[i]->kind, second[i]->kind);
    EXPECT_EQ(first[i]->design.caption, second[i]->design.caption);
    EXPECT_EQ(first[i]->design.toolTip, second[i]->design.toolTip);
    EXPECT_EQ(first[i]->design.width, second[i]->design.width);
  }
  // A lookup finds the first copy, as the settings file's key lookups do.
  ASSERT_NE(FindControlRecord("CoordForm_Fr1"), nullptr);
  EXPECT_EQ(FindControlRecord("CoordForm_Fr1")->window, RecordWindow::CoordForm);
  EXPECT_EQ(FindControlRecord("NoSuchRecord"), nullptr);
  EXPECT_EQ(DesignControlTexts().size(), 150u);
}

TEST(ControlCatalogue, UploadRecordsFollowTheDownloadRecords) {
  const auto download = ControlRecordsOf(RecordWindow::Download);
  const auto upload = ControlRecordsOf(RecordWindow::Upload);
  ASSERT_EQ(download.size() + 1, upload.size());
  // Same names with "UL_" for "DL_", same kinds, and "UL_ComSend" before the Cancel button.
  for (size_t i = 0; i + 1 < download.size(); ++i) {
    EXPECT_EQ(upload[i]->name, "UL_" + download[i]->name.substr(3));
    EXPECT_EQ(upload[i]->kind, download[i]->kind) << upload[i]->name;
  }
  EXPECT_EQ(upload[upload.size() - 2]->name, "UL_ComSend");
  EXPECT_EQ(upload.back()->name, "UL_ComCancel");
}

TEST(ControlCatalogue, DesignValuesFillEveryLineTheKindWrites) {
  int larger = 0;
  for (const ControlRecordDef& record : ControlCatalogue()) {
    SCOPED_TRACE(record.name);
    const ControlTexts& design = record.design;
    // A captioned record without a caption makes the first settings load fail.
    if (HasCaptionLine(record.kind)) {
      EXPECT_FALSE(design.caption.empty());
    }
    if (HasToolTipLine(record.kind)) {
      EXPECT_FALSE(design.toolTip.empty());
    } else {
      EXPECT_TRUE(design.toolTip.empty());
    }
    EXPECT_EQ(design.fontName, "MS Sans Serif");
    EXPECT_FALSE(design.fontItalic);
    EXPECT_TRUE(design.fontSize == 8.25 || design.fontSize == 9.75);
    if (design.fontSize == 9.75) ++larger;
    // Sizes are whole twips, so the file's Height and Width lines hold exact values.
    EXPECT_GT(design.height, 0);
    EXPECT_GT(design.width, 0);
    EXPECT_EQ(design.height, static_cast<long>(design.height));
    EXPECT_EQ(design.width, static_cast<long>(design.width));
  }
  EXPECT_EQ(larger, 2);
  // The help window lays itself out to this width.
  EXPECT_EQ(FindControlRecord("Help_Form")->design.width, 3248);
}

// The golden file tests/data/Korvenia.ini is what a first start writes: no settings file
// exists, so the first load fails and CreateIniFile writes the defaults. Its "[Help file]"
// section holds the plain name "KorveniaManual.doc": a load would turn the name into the
// program folder plus the name, but CreateIniFile resets HelpFileName to its default before it
// writes, so the file never carries a folder. "DataSendFormat" keeps its value, 0 at a first
// start. Here the control record part of that file is checked against the catalogue, so
// that the two cannot drift apart.
TEST(ControlCatalogue, GoldenSettingsFileHoldsTheCatalogueRecords) {
  const std::string text = test::ReadFileBytes(test::DataPath("Korvenia.ini"));
  ASSERT_FALSE(text.empty()) << "missing golden settings file";

  // Split into lines at CR LF; no bare line feed may occur.
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "the file must end with CR LF";
    lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.back().find('\n'), std::string::npos) << "bare line feed";
    start = end + 2;
  }
  // The messages end, and the sections added since follow them.
  const auto messagesEnd = std::find(lines.begin(), lines.end(), "47,Conversion finished");
  ASSERT_LT(messagesEnd + 2, lines.end());
  EXPECT_EQ(messagesEnd[1], "");
  EXPECT_EQ(messagesEnd[2], "[Survey Texts]");

  size_t at = 0;
  for (const ControlRecordDef& record : ControlCatalogue()) {
    SCOPED_TRACE(record.name);
    ASSERT_LT(at, lines.size());
    ASSERT_EQ(lines[at++], "[" + record.name + "]");
    std::vector<std::string> expected;
    if (HasCaptionLine(record.kind)) expected.push_back("Caption=" + record.design.caption);
    expected.push_back("FontName=" + record.design.fontName);
    expected.push_back(std::string("FontBold=") + (record.design.fontBold ? "True" : "False"));
    expected.push_back("FontItalic=False");
    expected.push_back(record.design.fontSize == 8.25 ? "FontSize= 8.25 " : "FontSize= 9.75 ");
    if (record.kind != ControlRecordKind::Combo) {
      expected.push_back("Height= " + std::to_string(static_cast<long>(record.design.height)) +
                         " ");
    }
    expected.push_back("Width=" + std::to_string(static_cast<long>(record.design.width)));
    if (HasToolTipLine(record.kind)) expected.push_back("ToolTipText=" + record.design.toolTip);
    expected.push_back("");
    for (const std::string& line : expected) {
      ASSERT_LT(at, lines.size());
      EXPECT_EQ(lines[at++], line);
    }
  }
  ASSERT_LT(at, lines.size());
  EXPECT_EQ(lines[at], "[ToolTipsText CommandSetting]");
}

}  // namespace
}  // namespace korv
