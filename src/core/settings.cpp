// Loading the settings file into the program-wide state and the main window's model, and
// saving the window texts and the "[Default]" choices at exit.
#include "core/settings.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/file_procs.h"
#include "core/gis_settings.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/window_place.h"

namespace korv {

namespace {

// Thrown inside LoadSettings to take the failure exit.
struct LoadFailure {};

// The file as UTF-8 lines, as the line scan reads them.
class LineScanner {
 public:
  explicit LineScanner(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    text_ = LinesToUtf8(bytes);
  }
  // Next line without its CR LF or LF; false at the end of the file.
  bool Next(std::string& line) {
    if (pos_ >= text_.size()) return false;
    size_t nl = text_.find('\n', pos_);
    size_t end = nl == std::string::npos ? text_.size() : nl;
    line.assign(text_, pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos_ = nl == std::string::npos ? text_.size() : nl + 1;
    return true;
  }

 private:
  std::string text_;
  size_t pos_ = 0;
};

bool IsHeader(const std::string& line, const char* header) {
  return line.find(header) != std::string::npos;
}

bool IsBlank(const std::string& line) { return TrimView(line).empty(); }

// Reads lines until `header`; the end of the file fails the load.
void SkipTo(LineScanner& scan, const char* header) {
  std::string line;
  while (scan.Next(line)) {
    if (IsHeader(line, header)) return;
  }
  throw LoadFailure{};
}

// Reads the entries of one option list (1..count, at most 19) until `nextHeader`.
void ReadOptionList(LineScanner& scan, const char* nextHeader,
                    std::array<std::string, kOptionListSize>& list, int& count) {
  std::string line;
  while (scan.Next(line)) {
    if (IsHeader(line, nextHeader)) return;
    if (IsBlank(line)) continue;
    if (++count > kMaxOptionEntries) throw LoadFailure{};
    list[static_cast<size_t>(count)] = line;
  }
  throw LoadFailure{};
}

// Reads the entries of one of the window's own lists until `nextHeader`.
void ReadWindowList(LineScanner& scan, const char* nextHeader, ListModel& list) {
  std::string line;
  while (scan.Next(line)) {
    if (IsHeader(line, nextHeader)) return;
    if (!IsBlank(line)) list.entries.push_back(line);
  }
  throw LoadFailure{};
}

// The "[Messages]" rows: "n,text" with 1 <= n <= 199; a later row replaces an earlier one.
void ReadMessages(LineScanner& scan, AppState& state) {
  std::string line;
  while (scan.Next(line)) {
    std::string row = Trim(line);
    if (row.empty()) continue;
    if (row[0] == '[') return;
    size_t comma = row.find(',', 1);
    if (comma == std::string::npos) continue;
    double n = RoundHalfEven(LeadingNumber(std::string_view(row).substr(0, comma)));
    if (n >= 1 && n <= 199) state.Messages[static_cast<size_t>(n)] = row.substr(comma + 1);
  }
}

// An Integer key of "[Default]": the leading number rounded halves to even; a value outside
// the 16-bit signed range fails the load. Not found leaves `var` unchanged.
void ReadInteger(const IniFile& ini, const char* key, int& var) {
  std::string v = ini.Get("Default", key);
  if (v.empty()) return;
  double n = RoundHalfEven(LeadingNumber(v));
  if (!(n >= INT16_MIN && n <= INT16_MAX)) throw LoadFailure{};
  var = static_cast<int>(n);
}

void ReadText(const IniFile& ini, const char* key, std::string& var) {
  std::string v = ini.Get("Default", key);
  if (!v.empty()) var = v;
}

// Selects `index` in `list` as the list control would: -1 selects nothing, an index the list
// does not have fails the load.
void Select(ListModel& list, int index) {
  if (index < -1 || index >= list.Count()) throw LoadFailure{};
  list.selected = index;
}

// Selects a stored index, replacing one not below the entry count by 0.
void SelectStored(ListModel& list, int& index) {
  if (index >= list.Count()) index = 0;
  Select(list, index);
}

// Fills the receive target list from entries 1..count, and `computed` after them for raw data,
// then the exchange entries, and selects the stored target.
void FillTargets(ListModel& combo, const std::array<std::string, kOptionListSize>& options,
                 int count, int& target, const std::vector<std::string>& exchange,
                 const std::string* computed = nullptr) {
  combo.Clear();
  for (int i = 1; i <= count; ++i) combo.entries.push_back(options[static_cast<size_t>(i)]);
  if (computed) combo.entries.push_back(*computed);
  combo.entries.insert(combo.entries.end(), exchange.begin(), exchange.end());
  if (target < 0 || target >= combo.Count()) target = 0;
  Select(combo, target);
}

void ApplyToMainWindow(AppState& s, const std::vector<std::string>& exchange) {
  MainWindowModel& w = s.mainWindow;
  if (s.SourceKind == 0) {
    FillTargets(w.comboDataFormat, s.RawOptions, s.RawOptionCount, s.RawTargetIndex, exchange,
                &s.ComputedCoordinatesText);
  } else if (s.SourceKind == 1) {
    FillTargets(w.comboDataFormat, s.CoordOptions, s.CoordOptionCount, s.CoordTargetIndex,
                exchange);
  }
  bool hideExtras = s.SourceKind == 0 && s.RawTargetIndex == 0;
  w.checkOrigDFVisible = !hideExtras;
  w.comSaveSetingsVisible = !hideExtras;
  if (s.SourceKind == 2) {
    w.comboDataFormat.visible = false;
    w.lbDataFormatVisible = false;
    w.checkOrigDFVisible = false;
    w.comSaveSetingsVisible = false;
  } else {
    w.comboDataFormat.visible = true;
    w.lbDataFormatVisible = true;
  }
  // The option arrays have elements 0..1 and 0..2 only.
  if (s.SourceIndex < 0 || s.SourceIndex > 1 || s.SourceKind < 0 || s.SourceKind > 2) {
    throw LoadFailure{};
  }
  w.opSourse = s.SourceIndex;
  w.opReceive = s.SourceKind;
  w.checkOrigDFChecked = s.CheckOrigDFState >= 1;

  SelectStored(w.stCombComm[0], s.PortIndex);
  SelectStored(w.stCombComm[1], s.SpeedIndex);
  SelectStored(w.stCombComm[2], s.DataBitsIndex);
  SelectStored(w.stCombComm[3], s.FlowControlIndex);
  SelectStored(w.stCombCoord[0], s.CoordOrderIndex);
  SelectStored(w.stCombCoord[1], s.CoordLabelsIndex);

  if (s.EditorChoice != 0 && s.EditorChoice != 1) s.EditorChoice = 0;
  w.stOpEditor = s.EditorChoice;
  w.txEditorVisible = s.EditorChoice != 0;
  w.comEditorBrowseVisible = s.EditorChoice != 0;

  if (s.DataSendFormat < 0 || s.DataSendFormat >= w.comboDataFormatSend.Count()) {
    s.DataSendFormat = 0;
  }
  Select(w.comboDataFormatSend, s.DataSendFormat);
}

void LoadOrThrow(AppState& s, int retry, std::string_view bytes, bool fileMissing) {
  const IniFile ini = IniFile::FromBytes(bytes);

  // Texts of the main and help windows ("Help_Net0" is saved but never applied).
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.window != RecordWindow::Main && def.window != RecordWindow::Help) continue;
    if (def.name == "Help_Net0") continue;
    if (!ApplyControlRecord(ini, def.name, def.kind, TextsOf(s, def.name), s)) {
      throw LoadFailure{};
    }
  }
  if (retry == 0 && !s.SettingsReadOK) throw LoadFailure{};

  // Tool tips of the settings button.
  auto tip = [&ini](const std::string& key, std::string& var) {
    std::string v = ini.Get("ToolTipsText CommandSetting", key);
    if (!v.empty()) var = v;
  };
  for (int i = 1; i <= 4; ++i) tip("NR" + std::to_string(i), s.ToolTipsNR[i]);
  for (int i = 0; i <= 5; ++i) tip("Co" + std::to_string(i), s.ToolTipsCo[i]);
  for (int i = 0; i <= 1; ++i) tip("NRF" + std::to_string(i), s.ToolTipsNRF[i]);
  for (int i = 0; i <= 1; ++i) tip("CoF" + std::to_string(i), s.ToolTipsCoF[i]);

  // "[Default]", in the file's order.
  MainWindowModel& w = s.mainWindow;
  for (const DefaultKey& k : kDefaultKeys) {
    if (k.text) {
      ReadText(ini, k.key, s.*k.text);
    } else {
      ReadInteger(ini, k.key, s.*k.integer);
    }
  }
  w.txEditor = s.ProgramEditor;
  s.SourceIndex = 0;  // every start begins with the instrument as the source
  w.comSettingSendVisible = s.DataSendFormat == 0;

  // "[Help file]": the document lies in the executable's folder.
  if (std::string v = ini.Get("Help file", "HelpFileName"); !v.empty()) {
    const std::string& folder = s.ExecutableFolder.empty() ? s.ProgramFolder : s.ExecutableFolder;
    // A full path written into the file by hand stays as it is.
    s.HelpFileName = v[0] == kFolderSeparator ? v : folder + v;
  }
  if (std::string v = ini.Get("Help file", "HelpProgShow"); !v.empty()) s.HelpProgShow = v;
  const std::string computed = ini.Get(kSurveyTextsSection, kComputedCoordinatesKey);
  s.ComputedCoordinatesText = computed.empty() ? kComputedCoordinatesEnglish : computed;

  // The list sections, scanned in their expected order.
  s.RawOptionCount = s.CoordOptionCount = s.RawFileOptionCount = s.CoordFileOptionCount = 0;
  for (ListModel& l : w.stCombComm) l.Clear();
  for (ListModel& l : w.stCombCoord) l.Clear();
  w.comboDataFormatSend.Clear();
  if (fileMissing) throw LoadFailure{};

  LineScanner scan(bytes);
  SkipTo(scan, "[Vexal RAW data options]");
  ReadOptionList(scan, "[Coortinate data options]", s.RawOptions, s.RawOptionCount);
  ReadOptionList(scan, "[Vexal RAW data options file]", s.CoordOptions, s.CoordOptionCount);
  ReadOptionList(scan, "[Coortinate data options file]", s.RawFileOptions, s.RawFileOptionCount);
  ReadOptionList(scan, "[Send data format]", s.CoordFileOptions, s.CoordFileOptionCount);
  ReadWindowList(scan, "[Coomunication Port]", w.comboDataFormatSend);
  ReadWindowList(scan, "[Coomunication Speed]", w.stCombComm[0]);
  ReadWindowList(scan, "[Coomunication Data bits]", w.stCombComm[1]);
  ReadWindowList(scan, "[Coomunication Flow control]", w.stCombComm[2]);
  ReadWindowList(scan, "[Coordinate order]", w.stCombComm[3]);
  ReadWindowList(scan, "[Coordinate labes]", w.stCombCoord[0]);
  ReadWindowList(scan, "[Default]", w.stCombCoord[1]);
  SkipTo(scan, "[Messages for file types]");
  int fileTypes = 0;
  std::string line;
  bool sawMessages = false;
  while (scan.Next(line)) {
    if (IsHeader(line, "[Messages]")) {
      sawMessages = true;
      break;
    }
    if (IsBlank(line)) continue;
    if (++fileTypes < kFileTypeMessageCount - 1) s.FileTypeMessages[fileTypes] = line;
  }
  if (!sawMessages) throw LoadFailure{};
  ReadMessages(scan, s);

  ApplyToMainWindow(s, GisListTexts(ini));
  s.windowPlace = LoadWindowPlace(ini);
}

// The 19 "[Default]" keys as the program holds them: texts as they are, Integer keys as decimal
// numbers without blanks.
void SaveDefaultKeys(IniFile& ini, const AppState& state) {
  for (const DefaultKey& k : kDefaultKeys) {
    ini.Set("Default", k.key, k.text ? state.*k.text : std::to_string(state.*k.integer));
  }
}

}  // namespace

bool LoadSettingsFromBytes(AppState& state, int retry, std::string_view bytes, bool fileMissing) {
  state.SettingsReadOK = true;
  try {
    LoadOrThrow(state, retry, bytes, fileMissing);
  } catch (const LoadFailure&) {
    state.SettingsReadOK = false;
    return false;
  }
  state.SettingsReadOK = true;
  return true;
}

bool LoadSettings(AppState& state, int retry) {
  std::ifstream in(state.IniFilePath, std::ios::binary);
  std::string bytes;
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return LoadSettingsFromBytes(state, retry, bytes, !in);
}

bool SaveSettings(AppState& state) {
  IniFile ini = IniFile::Load(state.IniFilePath);
  const bool readOK = state.SettingsReadOK;  // loading a window's texts must not change it
  for (const ControlRecordDef& def : ControlCatalogue()) {
    bool saved = def.window == RecordWindow::Main || def.window == RecordWindow::Download ||
                 def.window == RecordWindow::Upload || def.window == RecordWindow::Help;
    if (!saved || def.name == "ComFileName") continue;
    // A window that is not loaded is loaded first, with the file's texts.
    if (state.controls.find(def.name) == state.controls.end()) {
      ApplyControlRecord(ini, def.name, def.kind, TextsOf(state, def.name), state);
    }
    SaveControlRecord(ini, def.name, def.kind, state.controls[def.name]);
  }
  state.SettingsReadOK = readOK;
  SaveDefaultKeys(ini, state);
  if (state.windowPlace) StoreWindowPlace(ini, *state.windowPlace);
  return ini.Save(state.IniFilePath);
}

bool SaveSetup(AppState& state) {
  std::error_code ec;
  if (!std::filesystem::exists(state.IniFilePath, ec) && !ec) {
    // Nothing to keep: a fresh file with the texts on screen, and the choices put back.
    const AppState before = state;
    if (!CreateIniFile(state)) return false;
    for (const DefaultKey& k : kDefaultKeys) {
      if (k.text) {
        state.*k.text = before.*k.text;
      } else {
        state.*k.integer = before.*k.integer;
      }
    }
    state.HelpFileName = before.HelpFileName;
    state.HelpProgShow = before.HelpProgShow;
  }
  std::ifstream in(state.IniFilePath, std::ios::binary);
  if (!in) return false;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  IniFile ini = IniFile::FromBytes(bytes);
  for (const ControlRecordDef& def : ControlCatalogue()) {
    // A window that was never loaded shows the file's texts: its records stay as they are.
    auto it = state.controls.find(def.name);
    if (it != state.controls.end()) SaveControlRecord(ini, def.name, def.kind, it->second);
  }
  SaveDefaultKeys(ini, state);
  return ini.Save(state.IniFilePath);
}

}  // namespace korv
