// Control records: the texts, font and size of one control or window as the settings file
// stores them, the catalogue of every record with its design values, and reading, writing
// and saving one record.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

// Which property lines a record holds.
enum class ControlRecordKind {
  Value = 0,      // text boxes and labels that show a value: no Caption
  Captioned = 1,  // labels, buttons, frames, option buttons, check boxes
  Combo = 3,      // combo boxes: no Caption, no Height
  Window = 4,     // windows: no ToolTipText
  TextBox = 5,    // boxes whose Text is an interface text
};

// The window a record belongs to.
enum class RecordWindow { Main, Download, Upload, Kof, CoordForm, CoordFormUL, Dxf, Help };

// One control's texts: a neutral model that windows apply to widgets and the setup editor edits.
struct ControlTexts {
  std::string caption;  // Caption, or Text for kind 5
  std::string fontName = "MS Sans Serif";
  bool fontBold = false;
  bool fontItalic = false;
  double fontSize = 8.25;  // points
  double height = 0;       // twips
  double width = 0;        // twips
  std::string toolTip;
};

struct ControlRecordDef {
  std::string name;  // the control key and section name, e.g. "ComDLN", "DL_LbBaundRate1"
  ControlRecordKind kind;
  RecordWindow window;
  ControlTexts design;  // the values a fresh settings file gets
};

// All records in the order the settings file holds them (160). The ten records shared by the
// two coordinate field dialogs appear twice, once for each window.
const std::vector<ControlRecordDef>& ControlCatalogue();

// Current texts of every record by name; shared records have one entry.
using ControlTextTable = std::map<std::string, ControlTexts>;
// A table holding every record's design values.
ControlTextTable DesignControlTexts();

// The records of one window in file order (the coordinate upload dialog's list holds its own
// window record and the ten shared control records).
std::vector<const ControlRecordDef*> ControlRecordsOf(RecordWindow window);
// The first record of that exact name, or nullptr.
const ControlRecordDef* FindControlRecord(std::string_view name);

}  // namespace korv
