// The GIS exchange in the window: the entries the Receive tab's lists gain, the GIS settings
// dialog with its search of PROJ's database, and the question for a system before GeoJSON.
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <iterator>

#include "conversions/list_positions.h"
#include "core/file_procs.h"
#include "ui/gis_settings_dialog.h"
#include "ui_fixture.h"

namespace korv {
namespace {

const std::string kData = KORVENIA_TEST_DATA;
constexpr int kExchangeCount = static_cast<int>(std::size(kExchangeEntries));

class GisUiTest : public UiTest {
 protected:
  // The texts of the list the window shows for the source and kind.
  std::vector<std::string> ListFor(int source, int kind) {
    window->OpSourse_Click(source);
    window->OpReceive_Click(kind);
    return Shown();
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (int i = 0; i < window->ComboDataFormat->count(); ++i) {
      texts.push_back(window->ComboDataFormat->itemText(i).toStdString());
    }
    return texts;
  }

  // A coordinate list from disk to exchange entry `exchange` (0 GeoPackage ...), into `output`.
  void ConvertCoordinates(int exchange, const std::string& output) {
    WriteFileBytes(Path("pts.asc"), ReadFileBytes(kData + "/dxf/all_on.asc"));
    window->OpSourse_Click(1);
    window->OpReceive_Click(1);
    prompts.fileAnswers = {Path("pts.asc")};
    window->ComFileName_Click();
    window->ComboDataFormat->setCurrentIndex(state.CoordFileOptionCount + exchange);
    window->ComboDataFormat_Click();
    window->TxFileName->setText(QString::fromStdString(output));
    window->ComConv_Click();
  }

  // The settings file as it is now, without the "[GIS Settings]" section at its end.
  std::string WithoutGisSection() {
    std::string text = ReadFileBytes(state.IniFilePath);
    const size_t section = text.find("\r\n[GIS Settings]\r\n");
    EXPECT_NE(section, std::string::npos);
    return text.substr(0, section);
  }
};

GisSettingsDialog& Gis(QDialog& d) { return static_cast<GisSettingsDialog&>(d); }

// The row of the search's match for `code`, after waiting for the database to be read.
int MatchOf(GisSettingsDialog& d, const QString& words, const QString& code) {
  d.TxSearch->setText(words);
  int row = -1;
  (void)QTest::qWaitFor(
      [&] {
        for (int i = 0; i < d.LstCrs->count() && row < 0; ++i) {
          if (d.LstCrs->item(i)->data(Qt::UserRole).toString() == code) row = i;
        }
        return row >= 0;
      },
      300000);
  return row;
}

// The stored entries of each list come first, in their places; the exchange entries follow,
// with their texts from the settings file, and in English when it has no "[GIS Settings]".
TEST_F(GisUiTest, ListsEndWithTheExchangeEntriesInTheSettingsFilesWords) {
  const std::vector<std::string> english = {"GeoPackage file",    "GeoJSON file (WGS 84)",
                                            "ESRI Shapefile",     "KML file (WGS 84)",
                                            "CSV file (X, Y, Z)", "LandXML 1.2 file"};
  auto tail = [](const std::vector<std::string>& list) {
    return std::vector<std::string>(list.end() - kExchangeCount, list.end());
  };
  // The list the window starts with is the one it makes when the kind is chosen.
  const std::vector<std::string> atStart = Shown();
  const std::vector<std::string> raw = ListFor(0, 0);
  EXPECT_EQ(raw, atStart);
  ASSERT_EQ(raw.size(), 6u + kExchangeCount);
  EXPECT_EQ(raw[0], state.RawOptions[1]);
  EXPECT_EQ(raw[5], "Coordinate list (computed)");
  EXPECT_EQ(tail(raw), english);
  const std::vector<std::string> coordFile = ListFor(1, 1);
  ASSERT_EQ(coordFile.size(), 2u + kExchangeCount);
  EXPECT_EQ(coordFile[1], "KOF coordinate file");
  EXPECT_EQ(tail(coordFile), english);

  SetKey("GIS Settings", "GeoPackage", "GeoPackage-Datei");
  SetKey("GIS Settings", "LandXML", "LandXML-Datei");
  Reload();
  const std::vector<std::string> coord = ListFor(0, 1);
  EXPECT_EQ(coord[coord.size() - kExchangeCount], "GeoPackage-Datei");
  EXPECT_EQ(coord.back(), "LandXML-Datei");

  WriteFileBytes(state.IniFilePath, WithoutGisSection());
  Reload();
  EXPECT_EQ(tail(ListFor(1, 0)), english);

  // An exchange entry has its settings button, and the save dialog offers its extension.
  window->ComFileName->setText("pts.asc");
  window->ComboDataFormat->setCurrentIndex(3 + 1);  // GeoJSON after KOF, MAPA, computed
  window->ComboDataFormat_Click();
  EXPECT_FALSE(window->ComSaveSetings->isHidden());
  window->ComSaveBrowse_Click();
  ASSERT_EQ(prompts.fileDialogs.size(), 1u);
  EXPECT_EQ(prompts.fileDialogs[0].request.filter, "GeoJSON file (WGS 84) (*.geojson)|*.geojson");
  EXPECT_EQ(prompts.fileDialogs[0].request.fileName, "pts.geojson");
}

// The window runs the exchange entry's registry row, as the command line does: the same file
// when it succeeds, the same fault, and nothing written, when it fails.
TEST_F(GisUiTest, AnExchangeEntryConvertsThroughItsRegistryRow) {
  ConvertCoordinates(4, Path("pts.csv"));
  const std::string cli = std::string(KORVENIA_CLI) + " convert --from coord --to csv --ini '" +
                          state.IniFilePath + "' '" + Path("pts.asc") + "' '" + Path("cli.csv") +
                          "' 2>'" + Path("cli.err") + "'";
  if (std::system(cli.c_str()) == 0) {
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"F_MsgCon"});
    // What the run had to leave out is said, as the command line says it.
    for (const auto& m : prompts.messages) {
      EXPECT_NE(ReadFileBytes(Path("cli.err")).find(m.text), std::string::npos) << m.text;
    }
    EXPECT_EQ(ReadFileBytes(Path("pts.csv")), ReadFileBytes(Path("cli.csv")));
  } else {
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(prompts.messages[0].text.empty());
    EXPECT_NE(ReadFileBytes(Path("cli.err")).find(prompts.messages[0].text), std::string::npos);
    EXPECT_FALSE(FileExists(Path("pts.csv")));
    EXPECT_NE(state.SettingsActionWord, "OK");
  }
}

// A search lists the matches as "name (code)"; the one chosen with the arrow keys is stored on
// OK, and every other byte of the settings file stays; a file without the section gains it at its
// end.
TEST_F(GisUiTest, TheSystemChosenFromASearchIsStoredOnOk) {
  const std::string before = ReadFileBytes(state.IniFilePath);
  const std::string stripped = WithoutGisSection();
  std::string shown;
  auto chooseUtm32 = [&](QDialog& d) {
    const int row = MatchOf(Gis(d), "utm 32n", "EPSG:25832");
    ASSERT_GE(row, 0);
    // Chosen with the arrow keys from the search field.
    for (int i = 0; i <= row && Gis(d).LstCrs->currentRow() != row; ++i) {
      QTest::keyClick(Gis(d).TxSearch, Qt::Key_Down);
    }
    shown = Gis(d).CbCrs->currentText().toStdString();
    ScriptedDialogs::Click(d, "ComOK");
  };
  window->OpReceive_Click(1);
  window->ComboDataFormat->setCurrentIndex(state.CoordOptionCount);  // GeoPackage
  window->ComboDataFormat_Click();
  dialogs.scripts = {chooseUtm32};
  window->ComSaveSetings_Click();
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"GisSettings"});
  EXPECT_EQ(shown, "ETRS89 / UTM zone 32N (EPSG:25832)");
  std::string expected = before;
  const std::string empty = "\r\n[GIS Settings]\r\nCRS=\r\n";
  expected.replace(expected.find(empty), empty.size(), "\r\n[GIS Settings]\r\nCRS=EPSG:25832\r\n");
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), expected);

  // Opened again, the dialog shows the stored system.
  dialogs.scripts = {[&](QDialog& d) { shown = Gis(d).CbCrs->currentText().toStdString(); }};
  window->ComSaveSetings_Click();
  EXPECT_EQ(shown, "ETRS89 / UTM zone 32N (EPSG:25832)");
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), expected);

  WriteFileBytes(state.IniFilePath, stripped);
  dialogs.scripts = {chooseUtm32};
  window->ComSaveSetings_Click();
  EXPECT_EQ(ReadFileBytes(state.IniFilePath),
            stripped +
                "\r\n[GIS Settings]\r\nCRS=EPSG:25832\r\nLayerName=points\r\nNameField=name\r\n"
                "CodeField=code\r\nElevationField=elevation\r\n");
}

// OK is refused, with the reason beside the fields, for a system PROJ does not know and for an
// empty name; a PROJ string is taken as typed.
TEST_F(GisUiTest, OkRefusesAnUnknownSystemAndEmptyNames) {
  const std::string before = ReadFileBytes(state.IniFilePath);
  GisSettingsDialog dialog(*ctx, false);
  dialog.show();
  dialog.CbCrs->setEditText("EPSG:99999999");
  dialog.ComOK->click();
  EXPECT_FALSE(dialog.confirmed());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.LbFault->isVisible());
  EXPECT_NE(dialog.LbFault->text().indexOf("EPSG:99999999"), -1);
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), before);
  // A screen reader says the reason with the field the focus went to.
  auto said = [](QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
  };
  EXPECT_EQ(said(dialog.CbCrs), dialog.LbFault->text());

  dialog.CbCrs->setEditText("+proj=utm +zone=32 +ellps=GRS80 +units=m");
  EXPECT_FALSE(dialog.LbFault->isVisible());
  EXPECT_EQ(said(dialog.CbCrs), QString());
  dialog.TxCode->setText("  ");
  dialog.ComOK->click();
  EXPECT_FALSE(dialog.confirmed());
  EXPECT_EQ(dialog.LbFault->text().toStdString(), "Give the layer and each attribute a name.");
  EXPECT_EQ(said(dialog.TxCode), dialog.LbFault->text());
  EXPECT_EQ(said(dialog.CbCrs), QString());
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), before);

  dialog.TxCode->setText("PCODE");
  dialog.ComOK->click();
  EXPECT_TRUE(dialog.confirmed());
  const GisSettings stored = LoadGisSettings(IniFile::Load(state.IniFilePath));
  EXPECT_EQ(stored.crs, "+proj=utm +zone=32 +ellps=GRS80 +units=m");
  EXPECT_EQ(stored.codeField, "PCODE");
}

// GeoJSON needs the survey's system: without one the dialog asks first, refuses OK with none,
// and Cancel stops the conversion with nothing written; with one stored, nothing is asked.
TEST_F(GisUiTest, GeoJsonWithoutASystemAsksAndCancelWritesNothing) {
  const std::string before = ReadFileBytes(state.IniFilePath);
  std::string said;
  bool refused = false;
  dialogs.scripts = {[&](QDialog& d) {
    said = Gis(d).LbFault->text().toStdString();
    ScriptedDialogs::Click(d, "ComOK");
    refused = d.isVisible();
    ScriptedDialogs::Click(d, "ComCancel");
  }};
  ConvertCoordinates(1, Path("pts.geojson"));
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"GisSettings"});
  EXPECT_EQ(said, GisText(IniFile::Load(state.IniFilePath), "NeedsCrs"));
  EXPECT_TRUE(refused);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(FileExists(Path("pts.geojson")));
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), before);

  SetKey("GIS Settings", "CRS", "EPSG:25832");
  dialogs.shown.clear();
  window->ComConv_Click();
  EXPECT_TRUE(dialogs.shown.empty() || dialogs.shown == std::vector<std::string>{"F_MsgCon"});
}

}  // namespace
}  // namespace korv
