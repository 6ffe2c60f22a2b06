// The format settings dialogs and the download windows: loading and storing their sections,
// their enabling rules, and a translated settings file changing every caption.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "core/numbers.h"
#include "core/program_texts.h"
#include "ui/control_binder.h"
#include "ui/download_window.h"
#include "ui/format_dialogs.h"
#include "ui/small_dialogs.h"
#include "ui_fixture.h"

namespace korv {
namespace {

std::string Get(const std::string& path, const char* section, const char* key) {
  return ReadKey(path, section, key);
}

TEST_F(UiTest, SdrDialogShowsTheStoredChoicesAndStoresOnOkOnly) {
  F_Sdr dialog(*ctx);
  const SdrSettings s = dialog.Selected();
  EXPECT_EQ(s.selected, (std::array<int, kSdrGroupCount>{1, 0, 0, 0, 0, 1, 0, 0}));
  EXPECT_FALSE(dialog.groups[kSdrRefractionConstant]->button(0)->isEnabled());
  dialog.groups[kSdrCurvatureAndRefraction]->button(0)->click();
  EXPECT_TRUE(dialog.groups[kSdrRefractionConstant]->button(1)->isEnabled());
  dialog.groups[kSdrDistanceUnits]->button(2)->click();
  dialog.ComCancel->click();
  EXPECT_EQ(Get(state.IniFilePath, "SDR33 Settings", "DistanseUnits"), "0");

  F_Sdr again(*ctx);
  again.groups[kSdrDistanceUnits]->button(2)->click();
  again.ComOK->click();
  EXPECT_EQ(Get(state.IniFilePath, "SDR33 Settings", "DistanseUnits"), "2");
  EXPECT_EQ(Get(state.IniFilePath, "SDR33 Settings", "CurvatureAndRefraction"), "1");
}

TEST_F(UiTest, KofDialogComputesProjectAndDateAndChecksTheProjectLength) {
  F_KOFStp dialog(*ctx, "C:\\Data\\JOB01.KOF", "<filename>");
  EXPECT_EQ(dialog.Tx[1]->text().toStdString(), "JOB01");
  EXPECT_EQ(dialog.Tx[2]->text().toStdString(), "07.12.26");
  EXPECT_EQ(dialog.Lb[1]->buddy(), dialog.Tx[1]);
  F_KOFStp dotted(*ctx, "survey.2024.kof", "<filename>");
  EXPECT_EQ(dotted.Tx[1]->text().toStdString(), "survey.2024");
  // From disk without a chosen file the Project stays empty.
  state.SourceIndex = 1;
  F_KOFStp noFile(*ctx, "x.kof", "<filename>");
  EXPECT_TRUE(noFile.Tx[1]->text().isEmpty());

  dialog.Tx[1]->setText("ABCDEFGHIJKLMNO");
  dialog.Tx_LostFocus(1);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Project: name too long, maximum 12 characters allowed!");
  EXPECT_EQ(prompts.messages[0].title, "KOF converter");
  EXPECT_EQ(dialog.Tx[1]->text().toStdString(), "ABCDEFGHIJKL");
}

TEST_F(UiTest, KofDialogStoresItsSettingsAndShowsThemNextTime) {
  {
    F_KOFStp dialog(*ctx, Path("a.kof"), "");
    dialog.Tx[3]->setText("Main Road");
    dialog.Tx[5]->setText("Kari");
    dialog.ChkUCC->setChecked(true);
    dialog.ChkUPNC->setChecked(false);
    dialog.ComOK_Click();
    EXPECT_TRUE(dialog.confirmed());
  }
  EXPECT_EQ(Get(state.IniFilePath, "KOF Settings", "UseCodeConversion"), "1");
  EXPECT_EQ(Get(state.IniFilePath, "KOF Settings", "UsePointNumberConversion"), "0");
  F_KOFStp again(*ctx, Path("b.kof"), "");
  EXPECT_EQ(again.Tx[3]->text().toStdString(), "Main Road");
  EXPECT_EQ(again.Tx[5]->text().toStdString(), "Kari");
  EXPECT_TRUE(again.ChkUCC->isChecked());
  EXPECT_FALSE(again.ChkUPNC->isChecked());
  // Cancel stores nothing and answers "Cancel".
  again.Tx[3]->setText("Other");
  again.ComCancel->click();
  EXPECT_EQ(state.SettingsActionWord, "Cancel");
  EXPECT_EQ(Get(state.IniFilePath, "KOF Settings", "Road"), "Main Road");
}

TEST_F(UiTest, DxfDialogColoursRowsAndOutputOption) {
  SetKey("DXF Settings", "Dxf_ColorCode", "9");
  SetKey("DXF Settings", "Dxf_Option3D", "2");
  SetKey("DXF Settings", "Dxf_Check_Elevation", "0");
  DxfFormSetting dialog(*ctx);
  EXPECT_TRUE(dialog.Option3D[1]->isChecked());
  EXPECT_FALSE(dialog.TxLN[1]->isEnabled());
  EXPECT_FALSE(dialog.ComSelColor[1]->isEnabled());
  EXPECT_TRUE(dialog.TxLN[0]->isEnabled());
  // Colour 9 shows as palette colour 0 and is kept.
  EXPECT_TRUE(dialog.ComSelColor[2]->styleSheet().contains("#ff0000"));
  dialog.ComSelColor_Click(0);
  EXPECT_TRUE(dialog.PaletteShown());
  dialog.ComCol[3]->click();
  EXPECT_FALSE(dialog.PaletteShown());
  EXPECT_EQ(dialog.ComSelColor[0]->property("Tag").toString().toStdString(), " 3");
  dialog.Check[2]->setChecked(false);
  EXPECT_FALSE(dialog.TxTS[2]->isEnabled());
  dialog.UpTS[0]->click();
  EXPECT_EQ(dialog.TxTS[0]->text().toStdString(), "2");
  dialog.ComOK_Click();
  EXPECT_EQ(Get(state.IniFilePath, "DXF Settings", "Dxf_ColorCode"), "9");
  EXPECT_EQ(LeadingNumber(Get(state.IniFilePath, "DXF Settings", "Dxf_ColorPointName")), 3);
  EXPECT_EQ(Get(state.IniFilePath, "DXF Settings", "Dxf_Option3D"), "1");
  EXPECT_EQ(Get(state.IniFilePath, "DXF Settings", "Dxf_Check_Code"), "0");
  EXPECT_EQ(Get(state.IniFilePath, "DXF Settings", "Dxf_PointName_TS"), "2");

  DxfFormSetting cancelled(*ctx);
  cancelled.TxPL->setText("ZZ");
  cancelled.ComCancel->click();
  EXPECT_EQ(state.SettingsActionWord, "Cancel");
  EXPECT_EQ(Get(state.IniFilePath, "DXF Settings", "Dxf_Point_Layer"), "PT");
}

TEST_F(UiTest, CoordinateFieldDialogsReadAndStoreTheirSections) {
  SetKey("Coordinate Settings", "Field3", "9");
  SetKey("Coordinate Settings", "Separator", "2");
  {
    F_UsDeCo dialog(*ctx, false);
    EXPECT_EQ(dialog.Combo[0]->count(), 8);
    EXPECT_EQ(dialog.Combo[2]->currentIndex(), 0);
    EXPECT_TRUE(dialog.Op[1]->isChecked());
    dialog.ComOK_Click();
  }
  EXPECT_EQ(Get(state.IniFilePath, "Coordinate Settings", "Field3"), "0");
  EXPECT_EQ(Get(state.IniFilePath, "Coordinate Settings", "Separator"), "1");

  bool uploadShown = false;
  ctx->showUploadWindow = [&] { uploadShown = true; };
  state.SettingsActionWord = "UpLoadCoord";
  F_UsDeCo upload(*ctx, true);
  EXPECT_EQ(upload.objectName().toStdString(), "CoordFormUL");
  EXPECT_EQ(upload.Combo[0]->count(), 7);
  EXPECT_EQ(upload.Combo[0]->itemText(5).toStdString(), "Ignore");
  upload.Combo[4]->setCurrentIndex(6);
  upload.ComOK_Click();
  EXPECT_TRUE(uploadShown);
  EXPECT_EQ(state.SettingsActionWord, "Comma");
  EXPECT_EQ(Get(state.IniFilePath, "Coordinate UpLoad Settings", "Field5"), "6");
}

TEST_F(UiTest, DownloadWindowShowsTheLinkAndTheOutputFormat) {
  window->ComboDataFormat->setCurrentIndex(2);
  window->ComboDataFormat_Click();
  window->SyncModel();
  F_DL dl(*ctx, window.get());
  dl.show();
  EXPECT_EQ(dl.rows[0][1]->text().toStdString(), "19200");
  EXPECT_EQ(dl.rows[1][1]->text().toStdString(), "8");
  EXPECT_EQ(dl.rows[2][1]->text().toStdString(), "None");
  EXPECT_EQ(dl.rows[3][1]->text().toStdString(), "1");
  EXPECT_EQ(dl.rows[4][1]->text().toStdString(), "Xon/Xoff");
  EXPECT_EQ(dl.LbDataformat->text().toStdString(), "MAPA 2 raw data file");
  dl.ShowCount(1234);
  EXPECT_EQ(dl.LbRAWdata->text().toStdString(), "Bytes:   1234");
  state.CancelRequested = false;
  dl.close();
  EXPECT_TRUE(state.CancelRequested);
  window->OpReceive_Click(2);
  window->SyncModel();
  F_DL other(*ctx, window.get());
  other.show();
  EXPECT_EQ(other.LbDataformat->text().toStdString(), "Other");
}

TEST_F(UiTest, SdrInstructionWindowTexts) {
  F_SdrDL raw33(*ctx, true, false, window.get());
  EXPECT_EQ(raw33.windowTitle().toStdString(), "SDR-33");
  EXPECT_EQ(raw33.Lb2->text().toStdString(), "Format: SDR-33");
  EXPECT_EQ(raw33.Lb3->text().toStdString(), "Data: Raw");
  F_SdrDL coord2x(*ctx, false, true, window.get());
  EXPECT_EQ(coord2x.windowTitle().toStdString(), "SDR-2x");
  EXPECT_EQ(coord2x.Lb1->text().toStdString(), "On the instrument select as download option:");
  EXPECT_EQ(coord2x.Lb3->text().toStdString(), "Data: Coordinate");
  EXPECT_EQ(coord2x.ComOK->text().toStdString(), "OK");
}

// Every caption of the settings file reworded: every window of the receive side shows it.
TEST_F(UiTest, TranslatedSettingsFileChangesEveryCaption) {
  IniFile ini = IniFile::Load(state.IniFilePath);
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.kind == ControlRecordKind::Captioned || def.kind == ControlRecordKind::Window) {
      ini.Set(def.name, "Caption", "T-" + def.name);
      ini.Set(def.name, "ToolTipText", "tip " + def.name);
    }
  }
  ASSERT_TRUE(ini.Save(state.IniFilePath));
  std::string bytes = ReadFileBytes(state.IniFilePath);
  // A message row at the end of "[Messages]", before the sections that follow it.
  bytes.insert(bytes.find("\r\n[Survey Texts]"), "1,Empfang\r\n");
  WriteFileBytes(state.IniFilePath, bytes);
  Reload();
  EXPECT_EQ(window->MainTab->tabText(0).toStdString(), "Empfang");
  auto check = [&](QWidget* root, RecordWindow w) {
    for (const ControlRecordDef& def : ControlCatalogue()) {
      if (def.window != w) continue;
      if (def.kind != ControlRecordKind::Captioned && def.kind != ControlRecordKind::Window)
        continue;
      if (def.name == "Help_Net0") continue;
      QWidget* widget = def.kind == ControlRecordKind::Window ? root : FindControl(root, def.name);
      ASSERT_NE(widget, nullptr) << def.name;
      EXPECT_EQ(CaptionOf(widget), "T-" + def.name);
      if (def.kind != ControlRecordKind::Window) {
        EXPECT_EQ(widget->toolTip().toStdString(), "tip " + def.name);
      }
    }
  };
  check(window.get(), RecordWindow::Main);
  F_KOFStp kof(*ctx, "a.kof", "");
  check(&kof, RecordWindow::Kof);
  DxfFormSetting dxf(*ctx);
  check(&dxf, RecordWindow::Dxf);
  F_UsDeCo coord(*ctx, false);
  check(&coord, RecordWindow::CoordForm);
  F_UsDeCo upload(*ctx, true);
  check(&upload, RecordWindow::CoordFormUL);
  F_DL dl(*ctx, window.get());
  check(&dl, RecordWindow::Download);
}

// Every program text reworded ("P-" and its key, its placeholders kept): the controls made in
// code, the SDR dialog, the download window and the setup-mode refusal show the file's texts.
TEST_F(UiTest, ProgramTextsComeFromTheSettingsFile) {
  IniFile ini = IniFile::Load(state.IniFilePath);
  for (const TextRow& row : ProgramTextSection()) {
    std::string text = std::string("P-") + row.key;
    for (const char* mark : {"%1", "%2", "%3"}) {
      if (std::string_view(row.text).find(mark) != std::string_view::npos)
        text += " " + std::string(mark);
    }
    ini.Set(kProgramTextsSection, row.key, text);
  }
  ASSERT_TRUE(ini.Save(state.IniFilePath));
  Reload();
  EXPECT_EQ(window->StLbDevice->text().toStdString(), "P-SerialDeviceLabel");
  EXPECT_EQ(window->StCombDevice->toolTip().toStdString(), "P-SerialDeviceTip");
  EXPECT_EQ(window->StCombDevice->accessibleName().toStdString(), "P-SerialDevice");
  EXPECT_EQ(window->Command1->text().toStdString(), "P-SaveSetup");

  F_Sdr sdr(*ctx);
  EXPECT_EQ(sdr.windowTitle().toStdString(), "P-SdrTitle");
  QAbstractButton* gon = sdr.groups[kSdrAngleUnits]->button(1);
  EXPECT_EQ(gon->text().toStdString(), "P-SdrGon");
  EXPECT_EQ(gon->accessibleName().toStdString(), "P-SdrOption P-SdrAngle P-SdrGon");
  EXPECT_EQ(sdr.groups[kSdrRefractionConstant]->button(0)->text().toStdString(), "0.132");
  EXPECT_EQ(sdr.ComCancel->text().toStdString(), "P-Cancel");

  state.SpecialSetupMode = true;
  F_DL dl(*ctx, window.get());
  dl.show();
  EXPECT_EQ(dl.rows[2][1]->text().toStdString(), "P-NoParity");
  dl.ShowCount(1234);
  EXPECT_EQ(dl.LbRAWdata->text().toStdString(), "P-Bytes 1234");
  dl.close();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "P-SetupMode\r\nP-SetupPress <Cancel>");
  EXPECT_EQ(prompts.messages[0].title, "P-SetupModeTitle");
  dl.ComCancel->click();
}

}  // namespace
}  // namespace korv

namespace korv {
namespace {

TEST_F(UiTest, DownloadWindowInSetupModeRefusesItsCloseBox) {
  state.SpecialSetupMode = true;
  F_DL dl(*ctx, window.get());
  dl.show();
  dl.close();
  EXPECT_TRUE(dl.isVisible());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "The program is in setup mode.\r\nPress <Cancel> button");
  EXPECT_EQ(prompts.messages[0].title, "Setup");
  dl.ComCancel->click();
  EXPECT_FALSE(dl.isVisible());
}

}  // namespace
}  // namespace korv
