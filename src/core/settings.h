// The settings file "Korvenia.ini" as a whole: writing it with defaults, loading it into the
// program-wide state and the main window's model, saving the choices at exit; and reading,
// writing and saving one control record.
#pragma once

#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/control_records.h"
#include "core/key_store.h"

namespace korv {

constexpr const char* kIniFileName = "Korvenia.ini";
constexpr const char* kScratchFileName = "Brevant.tem";
constexpr const char* kDefaultHelpFileName = "KorveniaManual.doc";
constexpr const char* kDefaultHelpProgShow = "WORDPAD.EXE";

// "[Survey Texts]", the last section of the settings file: the texts of the survey functions.
// A file written before the section existed loads with AppState's English texts.
constexpr const char* kSurveyTextsSection = "Survey Texts";
constexpr const char* kComputedCoordinatesKey = "ComputedCoordinates";

// One key of "[Default]" with the AppState member that holds it: a text or an Integer.
struct DefaultKey {
  const char* key;
  std::string AppState::*text;
  int AppState::*integer;
};

// The "[Default]" keys in the order the file holds them.
inline constexpr DefaultKey kDefaultKeys[] = {
    {"JobPath", &AppState::JobPath, nullptr},
    {"SaveAsPath", &AppState::SaveAsPath, nullptr},
    {"UpLoadPath", &AppState::UpLoadPath, nullptr},
    {"ProgramEditor", &AppState::ProgramEditor, nullptr},
    {"OpSourse", nullptr, &AppState::SourceIndex},
    {"OpReceive", nullptr, &AppState::SourceKind},
    {"ComboDataFormatN", nullptr, &AppState::RawTargetIndex},
    {"ComboDataFormatC", nullptr, &AppState::CoordTargetIndex},
    {"ComboDataFormatNFile", nullptr, &AppState::RawFileTargetIndex},
    {"ComboDataFormatCFile", nullptr, &AppState::CoordFileTargetIndex},
    {"CheckOrigDF", nullptr, &AppState::CheckOrigDFState},
    {"Port", nullptr, &AppState::PortIndex},
    {"Speed", nullptr, &AppState::SpeedIndex},
    {"DataBits", nullptr, &AppState::DataBitsIndex},
    {"FlowControl", nullptr, &AppState::FlowControlIndex},
    {"StCombCoord0", nullptr, &AppState::CoordOrderIndex},
    {"StCombCoord1", nullptr, &AppState::CoordLabelsIndex},
    {"StOpEditor", nullptr, &AppState::EditorChoice},
    {"DataSendFormat", nullptr, &AppState::DataSendFormat},
};

// ---- One control record ----

// Sets `texts` from the record `name` of `ini`, property by property as `kind` allows. A value
// that is not found leaves its property unchanged, except a missing Caption or Text, which
// clears state.SettingsReadOK. Empties state.ActionWord. Returns false when a value cannot be
// converted or is out of the range a control accepts (the properties before it are applied).
bool ApplyControlRecord(const IniFile& ini, const std::string& name, ControlRecordKind kind,
                        ControlTexts& texts, AppState& state);

// Appends the record as a fresh settings file holds it: header, the kind's property lines and
// an empty line, each ended by CR LF.
void WriteControlRecord(std::string& out, const std::string& name, ControlRecordKind kind,
                        const ControlTexts& texts);

// Writes the record's keys into `ini` (in memory; the caller saves the file once).
void SaveControlRecord(IniFile& ini, const std::string& name, ControlRecordKind kind,
                       const ControlTexts& texts);
// The same for one record straight into the file at `path` (a dialog's confirm button).
bool SaveControlRecord(const std::string& path, const std::string& name, ControlRecordKind kind,
                       const ControlTexts& texts);

// Sizes a record may give a control; any other fails the settings load. A font of up to 100
// points (the most the setup editor's font dialog offers) and sizes of up to 100 inches
// (144,000 twips, wider than any screen at its logical resolution): larger ones would only
// make windows no screen shows and backing stores of gigabytes.
constexpr double kMaxFontSize = 100;
constexpr double kMaxTwips = 144000;
bool LoadableFontSize(double points);
bool LoadableTwips(double twips);

// The truth value of a record's FontBold or FontItalic: "True" or "False" in any letter case,
// or a number (0 false). False when the text is neither.
bool ParseTruthValue(std::string_view text, bool& value);

// ---- Texts of windows ----

// The current texts of record `name`, taking the design values when its window has not
// loaded them yet (an unknown name gets a default record).
ControlTexts& TextsOf(AppState& state, const std::string& name);
// Forgets the texts of every record of `window`, as unloading the window does; the next
// TextsOf starts again from the design values.
void UnloadWindowTexts(AppState& state, RecordWindow window);
// Applies the file's records of `window` to its texts, as the window's load handler does
// (nothing while CreatingIniFile, except for the help window). False when a value is refused.
bool ApplyWindowRecords(const IniFile& ini, RecordWindow window, AppState& state);

// ---- The whole file ----

// Sets the settings that a fresh file holds to their defaults and returns the whole file as
// UTF-8 text with CR LF line ends: the control records with the current texts of state
// (design values for windows not loaded), then every fixed section.
std::string BuildIniFile(AppState& state);

// Writes the whole settings file at state.IniFilePath with defaults (BuildIniFile), atomically
// and in the encoding of the file it replaces (UTF-8 for a new file). CreatingIniFile is True
// while it runs; ActionWord is emptied. False when the file could not be written (the old file
// is then untouched).
bool CreateIniFile(AppState& state);

// Reads the settings file at state.IniFilePath into state and state.mainWindow. `retry` is 0
// for the first attempt (a missing Caption fails) and 1 after recreation. Returns and sets
// state.SettingsReadOK; on failure state may hold what was read before the fault.
bool LoadSettings(AppState& state, int retry);
// The same on the file's bytes (a file that could not be written is loaded from memory).
// `fileMissing` makes the line scan fail as a missing file does.
bool LoadSettingsFromBytes(AppState& state, int retry, std::string_view bytes,
                           bool fileMissing = false);

// Saves the texts of the main (but "ComFileName"), download, upload and help windows and the
// 19 "[Default]" keys into the file in one write. False when the file could not be written.
bool SaveSettings(AppState& state);

// "Save setup" in special setup mode: saves the current texts of every record whose window was
// loaded in this run and the "[Default]" keys as SaveSettings does, into the file as it stands.
// The records of windows never loaded, the messages, the lists, the file types and the
// converters' sections stay as the file has them, so a translated file stays translated.
// A missing file is written whole (CreateIniFile). False when the file could not be read or
// written (it is then untouched).
bool SaveSetup(AppState& state);

}  // namespace korv
