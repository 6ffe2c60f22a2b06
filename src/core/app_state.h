// Program-wide state: every value the windows and procedures share for the whole run, held in
// one object that the application owns and hands on. Names are the program's own; values start
// at zero, empty or false.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/control_records.h"
#include "core/window_place.h"

namespace korv {

// One drop-down list of the main window as the window shows it.
struct ListModel {
  std::vector<std::string> entries;
  int selected = -1;  // index into entries, -1 for none
  bool visible = true;

  void Clear() {
    entries.clear();
    selected = -1;
  }
  int Count() const { return static_cast<int>(entries.size()); }
};

// The main window's lists, selections and visibility flags that the settings load and the
// window's handlers act on. The window binds its widgets to this model.
struct MainWindowModel {
  std::array<std::string, 3> tabCaptions;  // MainTab: Receive, Send, Settings

  // Receive tab.
  int opSourse = 0;           // ticked option of OpSourse(0..1)
  int opReceive = 0;          // ticked option of OpReceive(0..2)
  ListModel comboDataFormat;  // receive target list; visible also governs LbDataFormat
  bool lbDataFormatVisible = true;
  bool checkOrigDFVisible = true;
  bool checkOrigDFChecked = false;
  bool comSaveSetingsVisible = true;
  std::string comSaveSetingsToolTip;

  // Send tab.
  ListModel comboDataFormatSend;  // "[Send data format]"
  bool comSettingSendVisible = true;

  // Settings tab.
  std::array<ListModel, 4> stCombComm;   // port, speed, data bits, flow control
  std::array<ListModel, 2> stCombCoord;  // coordinate order, coordinate labels
  int stOpEditor = 0;                    // ticked option of StOpEditor(0..1)
  std::string txEditor;                  // the editor path box
  bool txEditorVisible = false;
  bool comEditorBrowseVisible = false;
};

// Sizes of the fixed tables (highest index + 1).
constexpr int kMessageCount = 201;         // Messages 0..200, rows 1..199 used
constexpr int kFileTypeMessageCount = 21;  // FileTypeMessages 0..20, entries 1..19 used
constexpr int kOptionListSize = 21;        // option lists 0..20, entries 1..19 used
constexpr int kMaxOptionEntries = 19;      // a list of 20 entries is refused

// The text of the computed coordinate list entry when the settings file has none.
constexpr const char* kComputedCoordinatesEnglish = "Coordinate list (computed)";

struct AppState {
  // Where the program lives.
  std::string ProgramFolder;     // folder of the settings and scratch files, ending in "/"
  std::string ExecutableFolder;  // folder of the executable, ending in "/" (help document)
  std::string IniFilePath;       // ProgramFolder + "Korvenia.ini"
  std::string ScratchFilePath;   // ProgramFolder + "Brevant.tem"
  double Pi = 0;                 // 4 * atan(1), for the angle conversions

  // Modes and flags.
  bool SettingsReadOK = false;    // the last LoadSettings read the file without fault
  bool SpecialSetupMode = false;  // started with "Special Setup"; never reset
  bool CreatingIniFile = false;   // CreateIniFile is writing; windows skip reading texts
  std::string SetupTarget;        // record name of the control the setup editor edits
  int SetupTargetKind = 0;        // 0 ordinary control, 1 no editable caption, 4 window

  // Answer words between windows and procedures.
  std::string ActionWord;          // "Append", "Overwite", "Cancel", "PALI", "Stop", code, ""
  std::string SettingsActionWord;  // "OK", "E", "Cancel", "UpOK", "Esc", an upload format
  int FileWriteMode = 0;           // 1 append, 2 overwrite, 0 cancel

  // Interface texts.
  std::array<std::string, kMessageCount> Messages;                  // "[Messages]" rows
  std::array<std::string, kFileTypeMessageCount> FileTypeMessages;  // "[Messages for file types]"
  // "[Survey Texts]" ComputedCoordinates: the entry after the raw data output lists.
  std::string ComputedCoordinatesText = kComputedCoordinatesEnglish;
  std::array<std::string, 6> ToolTipsNR;                            // keys NR1..NR4
  std::array<std::string, 9> ToolTipsCo;                            // keys Co0..Co5
  std::array<std::string, 6> ToolTipsNRF;                           // keys NRF0..NRF1
  std::array<std::string, 9> ToolTipsCoF;                           // keys CoF0..CoF1

  // Conversion targets offered, entries 1..count.
  std::array<std::string, kOptionListSize> RawOptions;  // received raw data
  int RawOptionCount = 0;
  std::array<std::string, kOptionListSize> CoordOptions;  // received coordinates
  int CoordOptionCount = 0;
  std::array<std::string, kOptionListSize> RawFileOptions;  // raw-data file from disk
  int RawFileOptionCount = 0;
  std::array<std::string, kOptionListSize> CoordFileOptions;  // coordinate file from disk
  int CoordFileOptionCount = 0;

  // Text settings of "[Default]" and "[Help file]".
  std::string JobPath;        // folder of the last data file taken from disk
  std::string SaveAsPath;     // folder of the last output file
  std::string UpLoadPath;     // folder of the last file sent
  std::string ProgramEditor;  // the user's own editor program
  std::string HelpFileName;   // the help document (full path once loaded)
  std::string HelpProgShow;   // viewer program name; kept in the file only

  // Integer settings of "[Default]" (16-bit signed range in the file), in the file's order.
  int SourceIndex = 0;           // "OpSourse": 0 instrument, 1 file; every start begins with 0
  int SourceKind = 0;            // "OpReceive": 0 raw data, 1 coordinates, 2 other
  int RawTargetIndex = 0;        // "ComboDataFormatN"
  int CoordTargetIndex = 0;      // "ComboDataFormatC"
  int RawFileTargetIndex = 0;    // "ComboDataFormatNFile"
  int CoordFileTargetIndex = 0;  // "ComboDataFormatCFile"
  int CheckOrigDFState = 0;      // "CheckOrigDF": 1 also keep the received data
  int PortIndex = 0;             // "Port"
  int SpeedIndex = 0;            // "Speed"
  int DataBitsIndex = 0;         // "DataBits"
  int FlowControlIndex = 0;      // "FlowControl"
  int CoordOrderIndex = 0;       // "StCombCoord0": 0 NEZ, 1 ENZ
  int CoordLabelsIndex = 0;      // "StCombCoord1"
  int EditorChoice = 0;          // "StOpEditor": 0 the system's editor, 1 ProgramEditor
  int DataSendFormat = 0;        // "DataSendFormat": index in "[Send data format]"

  // Transfers.
  bool CancelRequested = false;  // asks a running download or upload to stop
  bool DownloadOK = false;       // the last download ended normally

  // Current texts of every control record, and the main window's lists and selections.
  ControlTextTable controls;
  MainWindowModel mainWindow;
  // Where the main window was at the last exit ("[Window]"); nothing in a fresh file.
  std::optional<WindowPlace> windowPlace;
};

}  // namespace korv
