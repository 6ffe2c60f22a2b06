// The catalogue of every control record in settings-file order, with the design values a
// fresh settings file is written with: caption, tool tip, font and design size in twips.
#include <cstddef>
#include <iterator>

#include "core/control_records.h"

namespace korv {

namespace {

// Font variants used by the design: most controls are plain 8.25 points; a few captions are
// bold, and two of them are designed larger so that they read at a glance.
enum class Look { Plain, Bold, Large };

struct Row {
  const char* name;
  ControlRecordKind kind;
  RecordWindow window;
  const char* caption;  // empty for records without a Caption line
  const char* toolTip;  // empty only for windows, which have no ToolTipText line
  int height;           // twips; a combo box's height is fixed and not stored
  int width;            // twips
  Look look = Look::Plain;
};

constexpr ControlRecordKind kVal = ControlRecordKind::Value;
constexpr ControlRecordKind kCap = ControlRecordKind::Captioned;
constexpr ControlRecordKind kCmb = ControlRecordKind::Combo;
constexpr ControlRecordKind kWin = ControlRecordKind::Window;

constexpr RecordWindow kMain = RecordWindow::Main;
constexpr RecordWindow kDL = RecordWindow::Download;
constexpr RecordWindow kUL = RecordWindow::Upload;
constexpr RecordWindow kKof = RecordWindow::Kof;
constexpr RecordWindow kCrd = RecordWindow::CoordForm;
constexpr RecordWindow kCrdUL = RecordWindow::CoordFormUL;
constexpr RecordWindow kDxf = RecordWindow::Dxf;
constexpr RecordWindow kHelp = RecordWindow::Help;

constexpr Look kBold = Look::Bold;
constexpr Look kLarge = Look::Large;

// Every record once, in file order. The coordinate upload dialog's window record is followed
// in the file by copies of the coordinate file dialog's ten control records (see below).
// clang-format off
const Row kRows[] = {
  // name                     kind   window  caption                              tool tip                                                 height width
  // Main window: receive tab
  {"Main Form",               kWin,  kMain,  "Korvenia",                           "",                                                       5475, 7710},
  {"Fr1",                     kCap,  kMain,  "Source:",                            "Where the data comes from",                              1650, 3660},
  {"Fr2",                     kCap,  kMain,  "Receiving data format:",             "Kind of data the instrument sends or the file holds",   1650, 3660},
  {"Fr3",                     kCap,  kMain,  "Save as:",                           "Output format and output file",                          1935, 7410},
  {"OpSourse0",               kCap,  kMain,  "Download from instrument",           "Receive data from the instrument over the serial port", 255,  3375},
  {"OpSourse1",               kCap,  kMain,  "Select file from disk",              "Convert a data file from disk",                          255,  3375},
  {"ComFileName",             kCap,  kMain,  "<filename>",                         "Choose the data file to convert",                        375,  3375},
  {"OpReceive0",              kCap,  kMain,  "Vexal RAW data format V2.00",        "The instrument's raw measurement data",                  255,  3375},
  {"OpReceive1",              kCap,  kMain,  "Coordinate data",                    "A coordinate list",                                      255,  3375},
  {"OpReceive2",              kCap,  kMain,  "Other",                              "Any other data, stored as received",                    255,  3375},
  {"LbFileName",              kCap,  kMain,  "Filename:",                          "Name of the output file",                                195,  1095},
  {"LbDataFormat",            kCap,  kMain,  "Data format:",                       "Format of the output file",                              195,  1095},
  {"TxFileName",              kVal,  kMain,  "",                                   "Output file name",                                       285,  4575},
  {"ComboDataFormat",         kCmb,  kMain,  "",                                   "Choose the output format",                               315,  3735},
  {"CheckOrigDF",             kCap,  kMain,  "Also save the original data format", "Also keep the received data as a .vxl file",            255,  3375},
  {"ComSaveBrowse",           kCap,  kMain,  "&Browse",                            "Choose the output file",                                 375,  1215},
  {"ComSaveSetings",          kCap,  kMain,  "&Settings",                          "Settings of the chosen output format",                   375,  1215},
  {"ComDLN",                  kCap,  kMain,  "&Download",                          "Start receiving data from the instrument",               375,  1455},
  {"ComConv",                 kCap,  kMain,  "&Convert",                           "Convert the chosen file",                                375,  1455},
  {"ComViewFile",             kCap,  kMain,  "&View saved file",                   "Open the output file in the editor",                     375,  1695},
  {"ComExit",                 kCap,  kMain,  "E&xit",                              "Save the settings and end the program",                  375,  1095},
  {"ComHelp",                 kCap,  kMain,  "&Help",                              "Help and contact information",                           375,  1095},
  // Main window: send tab
  {"FrSend",                  kCap,  kMain,  "Data source",                        "File to send to the instrument",                         1935, 7410},
  {"LbFileNameSend",          kCap,  kMain,  "Filename:",                          "Name of the file to send",                               195,  1095},
  {"LbDataFormaSend",         kCap,  kMain,  "Data format:",                       "Format of the file to send",                             195,  1095},
  {"TxFileNameSend",          kVal,  kMain,  "",                                   "Specify filename for data send",                         285,  4575},
  {"ComboDataFormatSend",     kCmb,  kMain,  "",                                   "Setting for the data format",                            315,  3735},
  {"ComBrowseSend",           kCap,  kMain,  "&Browse",                            "Select filename",                                        375,  1215},
  {"ComSettingSend",          kCap,  kMain,  "&Settings",                          "Columns of the coordinate file to send",                 375,  1215},
  {"ComEditSend",             kCap,  kMain,  "&Edit",                              "Edit the specified file",                                375,  1215},
  {"ComSend",                 kCap,  kMain,  "Sen&d",                              "start sending now",                                      375,  1215},
  // Main window: settings tab
  {"StFrComm",                kCap,  kMain,  "Communication:",                     "Serial port settings",                                   2295, 3210},
  {"StFrCoord",               kCap,  kMain,  "Coordinate system:",                 "Order and labels of the coordinates",                    1215, 4110},
  {"StFrEditor",              kCap,  kMain,  "Editor",                             "Program used to view and edit files",                    1215, 4110},
  {"StLbComm0",               kCap,  kMain,  "Port:",                              "Serial port the instrument is connected to",             195,  1095},
  {"StLbComm1",               kCap,  kMain,  "Speed:",                             "Transfer speed in baud",                                 195,  1095},
  {"StLbComm2",               kCap,  kMain,  "Data bits:",                         "Data bits per character",                                195,  1095},
  {"StLbComm3",               kCap,  kMain,  "Flow control",                       "Handshake between instrument and computer",              195,  1095},
  {"StLbComm4",               kCap,  kMain,  "Fixed:",                             "Settings that cannot be changed",                        195,  1095},
  {"StLbComm5",               kCap,  kMain,  "Stop bit: 1, Parity: None",          "The instrument always uses these",                       195,  1815},
  {"StCombComm0",             kCmb,  kMain,  "",                                   "Choose the serial port",                                 315,  1815},
  {"StCombComm1",             kCmb,  kMain,  "",                                   "Choose the transfer speed",                              315,  1815},
  {"StCombComm2",             kCmb,  kMain,  "",                                   "Choose the number of data bits",                         315,  1815},
  {"StCombComm3",             kCmb,  kMain,  "",                                   "Choose the flow control",                                315,  1815},
  {"StLbCoord0",              kCap,  kMain,  "Coordinate order:",                  "Order of northing and easting in coordinate files",      195,  1455},
  {"StLbCoord1",              kCap,  kMain,  "Coordinate labels:",                 "Names of the coordinate axes",                           195,  1455},
  {"StCombCoord0",            kCmb,  kMain,  "",                                   "Choose the coordinate order",                            315,  2355},
  {"StCombCoord1",            kCmb,  kMain,  "",                                   "Choose the coordinate labels",                           315,  2355},
  {"StOpEditor0",             kCap,  kMain,  "Use Notepad",                        "Open files in the system's text editor",                 255,  1455},
  {"StOpEditor1",             kCap,  kMain,  "Use Other",                          "Open files in the program named below",                  255,  1455},
  {"TxEditor",                kVal,  kMain,  "",                                   "Path of the editor program",                             285,  2775},
  {"ComEditorBrowse",         kCap,  kMain,  "&Browse",                            "Choose the editor program",                              375,  975},

  // Download window
  {"DL_Form",                 kWin,  kDL,    "Download data",                      "",                                                       4785, 3735},
  {"DL_Fr1",                  kCap,  kDL,    "Communication settings",             "Serial port settings in use",                            2055, 3375},
  {"DL_Fr2",                  kCap,  kDL,    "Data format",                        "Format the received data is saved in",                   615,  3375},
  {"DL_Fr3",                  kCap,  kDL,    "Receiving",                          "Progress of the download",                               735,  3375},
  {"DL_LbBaundRate",          kCap,  kDL,    "Baud rate:",                         "Transfer speed",                                         195,  1455},
  {"DL_LbDataBits",           kCap,  kDL,    "Data bits:",                         "Data bits per character",                                195,  1455},
  {"DL_LbParity",             kCap,  kDL,    "Parity:",                            "Parity check",                                           195,  1455},
  {"DL_LbStopBit",            kCap,  kDL,    "Stop bit:",                          "Stop bits per character",                                195,  1455},
  {"DL_LbFlowControl",        kCap,  kDL,    "Flow control:",                      "Handshake between instrument and computer",              195,  1455},
  {"DL_LbBaundRate1",         kVal,  kDL,    "",                                   "Transfer speed in baud",                                 195,  1455},
  {"DL_LbDataBits1",          kVal,  kDL,    "",                                   "Number of data bits",                                    195,  1455},
  {"DL_LbParity1",            kVal,  kDL,    "",                                   "Parity in use",                                          195,  1455},
  {"DL_LbStopBit1",           kVal,  kDL,    "",                                   "Number of stop bits",                                    195,  1455},
  {"DL_LbFlowControl1",       kVal,  kDL,    "",                                   "Flow control in use",                                    195,  1455},
  {"DL_LbDataformat",         kVal,  kDL,    "",                                   "Format of the output file",                              195,  3135},
  {"DL_LbRAWdata",            kCap,  kDL,    "start sending data now",             "Characters received so far",                             255,  3135, kLarge},
  {"DL_ComCancel",            kCap,  kDL,    "Cancel",                             "Stop the download",                                      375,  1095},

  // Upload window
  {"UL_Form",                 kWin,  kUL,    "Send data",                          "",                                                       4785, 3735},
  {"UL_Fr1",                  kCap,  kUL,    "Communication settings",             "Serial port settings in use",                            2055, 3375},
  {"UL_Fr2",                  kCap,  kUL,    "Data format",                        "Format of the file to send",                             615,  3375},
  {"UL_Fr3",                  kCap,  kUL,    "Sending",                            "Progress of the upload",                                 735,  3375},
  {"UL_LbBaundRate",          kCap,  kUL,    "Baud rate:",                         "Transfer speed",                                         195,  1455},
  {"UL_LbDataBits",           kCap,  kUL,    "Data bits:",                         "Data bits per character",                                195,  1455},
  {"UL_LbParity",             kCap,  kUL,    "Parity:",                            "Parity check",                                           195,  1455},
  {"UL_LbStopBit",            kCap,  kUL,    "Stop bit:",                          "Stop bits per character",                                195,  1455},
  {"UL_LbFlowControl",        kCap,  kUL,    "Flow control:",                      "Handshake between instrument and computer",              195,  1455},
  {"UL_LbBaundRate1",         kVal,  kUL,    "",                                   "Transfer speed in baud",                                 195,  1455},
  {"UL_LbDataBits1",          kVal,  kUL,    "",                                   "Number of data bits",                                    195,  1455},
  {"UL_LbParity1",            kVal,  kUL,    "",                                   "Parity in use",                                          195,  1455},
  {"UL_LbStopBit1",           kVal,  kUL,    "",                                   "Number of stop bits",                                    195,  1455},
  {"UL_LbFlowControl1",       kVal,  kUL,    "",                                   "Flow control in use",                                    195,  1455},
  {"UL_LbDataformat",         kVal,  kUL,    "",                                   "Format of the file to send",                             195,  3135},
  {"UL_LbRAWdata",            kCap,  kUL,    "prepare instrument and press Send",  "Set the instrument to receive, then press Send",         195,  3135, kBold},
  {"UL_ComSend",              kCap,  kUL,    "&Send",                              "starrt sending now",                                     375,  1095},
  {"UL_ComCancel",            kCap,  kUL,    "&Cancel",                            "Cancel upload data",                                     375,  1095},

  // KOF settings dialog
  {"KOF_Form",                kWin,  kKof,   "KOF format",                         "",                                                       4335, 3735},
  {"Frame",                   kCap,  kKof,   "KOF header information",             "Texts of the KOF file header",                           2415, 3375},
  {"KOF_Lb1",                 kCap,  kKof,   "Project:",                           "Project name, at most 12 characters",                    195,  855},
  {"KOF_Lb2",                 kCap,  kKof,   "Date:",                              "Date of the conversion",                                 195,  855},
  {"KOF_Lb3",                 kCap,  kKof,   "Road:",                              "Road name, at most 12 characters",                       195,  855},
  {"KOF_Lb4",                 kCap,  kKof,   "City:",                              "City name, at most 12 characters",                       195,  855},
  {"KOF_Lb5",                 kCap,  kKof,   "Surveyor:",                          "Surveyor's name, at most 12 characters",                 195,  855},
  {"KOF_Tx1",                 kVal,  kKof,   "",                                   "Project name, taken from the output file name",          285,  1935},
  {"KOF_Tx2",                 kVal,  kKof,   "",                                   "Date of the conversion (dd.mm.yy)",                      285,  1935},
  {"KOF_Tx3",                 kVal,  kKof,   "",                                   "Road name for the header",                               285,  1935},
  {"KOF_Tx4",                 kVal,  kKof,   "",                                   "City name for the header",                               285,  1935},
  {"KOF_Tx5",                 kVal,  kKof,   "",                                   "Surveyor's name for the header",                         285,  1935},
  {"KOF_ChkUPNC",             kCap,  kKof,   "Use point number conversion",        "Rename points by the point number conversion file",      255,  3135},
  {"KOF_ChkUCC",              kCap,  kKof,   "Use code conversion",                "Split line numbers off the point codes",                 255,  3135},
  {"KOF_ComOK",               kCap,  kKof,   "OK",                                 "Save the settings and go on",                            375,  1095},
  {"KOF_ComCancel",           kCap,  kKof,   "Cancel",                             "Close without saving",                                   375,  1095},

  // Coordinate file dialog (its ten control records also serve the coordinate upload dialog)
  {"CoordForm",               kWin,  kCrd,   "Coordinate file",                    "",                                                       4320, 3495},
  {"CoordForm_Fr1",           kCap,  kCrd,   "Format",                             "What each field of a line holds",                        2415, 3135},
  {"CoordForm_Fr2",           kCap,  kCrd,   "Separator",                          "Character between the fields",                           615,  3135},
  {"CoordForm_Lb0",           kCap,  kCrd,   "Field 1:",                           "Contents of the first field",                            195,  735},
  {"CoordForm_Lb1",           kCap,  kCrd,   "Field 2:",                           "Contents of the second field",                           195,  735},
  {"CoordForm_Lb2",           kCap,  kCrd,   "Field 3:",                           "Contents of the third field",                            195,  735},
  {"CoordForm_Lb3",           kCap,  kCrd,   "Field 4:",                           "Contents of the fourth field",                           195,  735},
  {"CoordForm_Lb4",           kCap,  kCrd,   "Field 5:",                           "Contents of the fifth field",                            195,  735},
  {"CoordForm_Op0",           kCap,  kCrd,   "Comma",                              "Fields separated by commas",                             255,  1095},
  {"CoordForm_Op1",           kCap,  kCrd,   "Space",                              "Fields separated by blanks",                             255,  1095},
  {"CoordForm_ComOk",         kCap,  kCrd,   "&OK",                                "Save the field settings",                                375,  1095},

  // Coordinate upload dialog
  {"CoordFormUL",             kWin,  kCrdUL, "Coordinate file",                    "",                                                       4320, 3495},

  // DXF settings dialog
  {"DxfFormSetting",          kWin,  kDxf,   "DXF format settings",                "",                                                       4350, 5925},
  {"DxfFormSetting_LbPL",     kCap,  kDxf,   "Point layer name:",                  "Layer of the points",                                    195,  1335},
  {"DxfFormSetting_Check0",   kCap,  kDxf,   "Write Point Name next to point",     "Write each point's name beside it",                      255,  3135},
  {"DxfFormSetting_Check1",   kCap,  kDxf,   "Write Elevation next to point",      "Write each point's elevation beside it",                 255,  3135},
  {"DxfFormSetting_Check2",   kCap,  kDxf,   "Write Code next to point",           "Write each point's code beside it",                      255,  3135},
  {"DxfFormSetting_LbLN0",    kCap,  kDxf,   "Layer name:",                        "Layer of the point names",                               195,  855},
  {"DxfFormSetting_LbLN1",    kCap,  kDxf,   "Layer name:",                        "Layer of the elevations",                                195,  855},
  {"DxfFormSetting_LbLN2",    kCap,  kDxf,   "Layer name:",                        "Layer of the codes",                                     195,  855},
  {"DxfFormSetting_LbTS0",    kCap,  kDxf,   "Text size:",                         "Height of the point name text",                          195,  735},
  {"DxfFormSetting_LbTS1",    kCap,  kDxf,   "Text size:",                         "Height of the elevation text",                           195,  735},
  {"DxfFormSetting_LbTS2",    kCap,  kDxf,   "Text size:",                         "Height of the code text",                                195,  735},
  {"DxfFormSetting_Option3D0",kCap,  kDxf,   "Output 3D",                          "Points and texts carry their elevation",                 255,  1215},
  {"DxfFormSetting_Option3D1",kCap,  kDxf,   "Output 2D",                          "Points and texts without elevation",                     255,  1215},
  {"DxfFormSetting_ComOK",    kCap,  kDxf,   "&OK",                                "Save the settings",                                      375,  1095},
  {"DxfFormSetting_ComCancel",kCap,  kDxf,   "&Cancel",                            "Close without saving",                                   375,  1095},
  {"DxfFormSetting_LbColr0",  kCap,  kDxf,   "Color:",                             "Color of the point names",                               195,  495},
  {"DxfFormSetting_LbColr1",  kCap,  kDxf,   "Color:",                             "Color of the elevations",                                195,  495},
  {"DxfFormSetting_LbColr2",  kCap,  kDxf,   "Color:",                             "Color of the codes",                                     195,  495},
  {"DxfFormSetting_ComSelColor0", kCap, kDxf, "Select Color",                      "Choose the color of the point names",                    375,  1215},
  {"DxfFormSetting_ComSelColor1", kCap, kDxf, "Select Color",                      "Choose the color of the elevations",                     375,  1215},
  {"DxfFormSetting_ComSelColor2", kCap, kDxf, "Select Color",                      "Choose the color of the codes",                          375,  1215},

  // Help window
  {"Help_Form",               kWin,  kHelp,  "Help",                               "",                                                       5152, 3248},
  {"Help_Fr1",                kCap,  kHelp,  "Contact information",                "How to reach the maker",                                 1941, 3000},
  {"Help_Fr2",                kCap,  kHelp,  "Vexal on the Net",                   "Web pages of the maker",                                 1116, 3000},
  {"Help_Fr3",                kCap,  kHelp,  "Korvenia Help",                      "The program's manual",                                   750,  3000},
  {"Help_LbCI0",              kCap,  kHelp,  "Vexal Instruments",                  "Maker of the instrument",                                240,  2055, kLarge},
  {"Help_LbCI1",              kCap,  kHelp,  "Survey Division",                    "Postal address",                                         195,  1215},
  {"Help_LbCI2",              kCap,  kHelp,  "P.O. Box 1200",                      "Postal address",                                         195,  1095},
  {"Help_LbCI3",              kCap,  kHelp,  "Survey City",                        "Postal address",                                         195,  855},
  {"Help_LbCI4",              kCap,  kHelp,  "Phone: +00 100 200 300",             "Telephone",                                              195,  1815},
  {"Help_LbCI5",              kCap,  kHelp,  "support@vexal.example",              "E-mail for support",                                     195,  1695},
  {"Help_Net0",               kCap,  kHelp,  "www.vexal.example/survey",           "Open the maker's survey page",                           195,  1935},
  {"Help_Net1",               kCap,  kHelp,  "www.vexal.example",                  "Open the maker's home page",                             195,  1335},
  {"Help_ComOpenHelpFile",    kCap,  kHelp,  "Open &Help file",                    "Open the program's manual",                              375,  1695},
  {"Help_ComOK",              kCap,  kHelp,  "&OK",                                "Close the help window",                                  375,  1095},
};
// clang-format on

ControlTexts DesignOf(const Row& row) {
  ControlTexts texts;
  texts.caption = row.caption;
  texts.fontBold = row.look != Look::Plain;
  texts.fontSize = row.look == Look::Large ? 9.75 : 8.25;
  texts.height = row.height;
  texts.width = row.width;
  texts.toolTip = row.toolTip;
  return texts;
}

std::vector<ControlRecordDef> BuildCatalogue() {
  std::vector<ControlRecordDef> records;
  records.reserve(std::size(kRows) + 10);
  for (const Row& row : kRows) {
    records.push_back({row.name, row.kind, row.window, DesignOf(row)});
    // The coordinate upload dialog shares the coordinate file dialog's control records; the
    // file holds them once more after its own window record.
    if (row.window == RecordWindow::CoordFormUL) {
      for (const Row& shared : kRows) {
        if (shared.window == RecordWindow::CoordForm && shared.kind != ControlRecordKind::Window) {
          records.push_back(
              {shared.name, shared.kind, RecordWindow::CoordFormUL, DesignOf(shared)});
        }
      }
    }
  }
  return records;
}

}  // namespace

const std::vector<ControlRecordDef>& ControlCatalogue() {
  static const std::vector<ControlRecordDef> catalogue = BuildCatalogue();
  return catalogue;
}

ControlTextTable DesignControlTexts() {
  ControlTextTable table;
  for (const ControlRecordDef& record : ControlCatalogue()) {
    table.emplace(record.name, record.design);  // a shared record keeps its first copy
  }
  return table;
}

std::vector<const ControlRecordDef*> ControlRecordsOf(RecordWindow window) {
  std::vector<const ControlRecordDef*> records;
  for (const ControlRecordDef& record : ControlCatalogue()) {
    if (record.window == window) records.push_back(&record);
  }
  return records;
}

const ControlRecordDef* FindControlRecord(std::string_view name) {
  for (const ControlRecordDef& record : ControlCatalogue()) {
    if (record.name == name) return &record;
  }
  return nullptr;
}

}  // namespace korv
