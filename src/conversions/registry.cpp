// The conversion rows and the one reading of a run's options from the settings file.
#include "conversions/registry.h"

#include "coords/coord_file_writer.h"
#include "coords/dxf_writer.h"
#include "formats/mapa_writer.h"
#include "formats/sdr_writer.h"
#include "survey/raw_to_coor.h"

namespace korv {

const char* DataKindWord(DataKind kind) { return kind == DataKind::Raw ? "raw" : "coord"; }

std::optional<DataKind> DataKindFromWord(std::string_view word) {
  if (word == "raw") return DataKind::Raw;
  if (word == "coord") return DataKind::CoordList;
  return std::nullopt;
}

RunOptions OptionsFromSettings(const IniFile& ini, const std::string& settingsFolder,
                               const std::string& output, const std::tm& now) {
  RunOptions o;
  o.kof = ReadKofOptions(ini, settingsFolder, output, now);
  o.sdr = ReadSdrOptions(ini);
  o.dxf = LoadDxfOptions(ini);
  // Without a settings file, the fields a fresh one holds; a file without the keys reads as
  // the dialog would read it.
  o.fields = ini.empty() ? CoordFieldOptions() : LoadCoordFieldOptions(ini);
  o.reduction.angleUnit = StoredAngleUnit(ini);
  o.coordOrder = StoredCoordOrder(ini);
  o.now = now;
  return o;
}

namespace {

SdrRun SdrRunOf(const RunOptions& o) { return {o.sdr, o.now, o.coordOrder}; }

ConvertResult RunRawToKof(const std::string& in, const std::string& out, const RunOptions& o,
                          RunServices& with) {
  return RawToKOF(in, out, o.mode, o.kof, o.coordOrder, with.pointTable, with.reporter);
}
ConvertResult RunRawToMapa(const std::string& in, const std::string& out, const RunOptions& o,
                           RunServices&) {
  return RawToMAPA(in, out, o.mode, o.now);
}
ConvertResult RunRawToSdr(const std::string& in, const std::string& out, const RunOptions& o,
                          RunServices&) {
  return RawToSDR(in, out, o.mode, SdrRunOf(o));
}
ConvertResult RunRawToCoord(const std::string& in, const std::string& out, const RunOptions& o,
                            RunServices&) {
  return RawToCoor(in, out, o.mode, o.reduction, o.coordOrder);
}
ConvertResult RunCoordToKof(const std::string& in, const std::string& out, const RunOptions& o,
                            RunServices& with) {
  return CoorToKOF(in, out, o.mode, o.kof, o.coordOrder, with.pointTable, with.reporter);
}
ConvertResult RunCoordToSdr(const std::string& in, const std::string& out, const RunOptions& o,
                            RunServices&) {
  return CoorToSDR(in, out, o.mode, SdrRunOf(o));
}
ConvertResult RunCoordToDxf(const std::string& in, const std::string& out, const RunOptions& o,
                            RunServices&) {
  return CoorToDXF(in, out, o.dxf, o.coordOrder);
}
ConvertResult RunCoordToAsc(const std::string& in, const std::string& out, const RunOptions& o,
                            RunServices&) {
  return CoorToCoordinates(in, out, o.mode, o.fields, o.fields.separator, o.coordOrder);
}

}  // namespace

const std::vector<Conversion>& Conversions() {
  // The KOF header texts and the two conversions of "[KOF Settings]".
  const std::vector<const char*> kof = {
      "order",    "project",          "date",           "road", "city",
      "surveyor", "point-conversion", "code-conversion"};
  // Each row: the kind read, target, what, extension, append possible, settings sections,
  // command-line options, settings dialog, runner.
  // clang-format off
  static const std::vector<Conversion> rows = {
      {DataKind::Raw, "kof", "raw data to KOF", "kof", true,
       {"KOF Settings", "Default"}, kof, SettingsDialog::Kof, RunRawToKof},
      {DataKind::Raw, "mapa", "raw data to MAPA 2", "asc", true,
       {}, {}, SettingsDialog::None, RunRawToMapa},
      {DataKind::Raw, "sdr", "raw data to SDR-33", "sdr", true,
       {"SDR33 Settings", "Default"}, {"order"}, SettingsDialog::Sdr, RunRawToSdr},
      {DataKind::Raw, "coord", "raw data to a coordinate list (observations reduced to points)", "asc", true,
       {"SDR33 Settings", "Default"}, {"order", "angle-unit", "refraction", "sea-level"},
       SettingsDialog::None, RunRawToCoord},
      {DataKind::CoordList, "kof", "coordinate list to KOF", "kof", true,
       {"KOF Settings", "Default"}, kof, SettingsDialog::Kof, RunCoordToKof},
      {DataKind::CoordList, "sdr", "coordinate list to SDR-33", "sdr", true,
       {"SDR33 Settings", "Default"}, {"order"}, SettingsDialog::Sdr, RunCoordToSdr},
      {DataKind::CoordList, "dxf", "coordinate list to a DXF drawing (always written new)", "dxf", false,
       {"DXF Settings", "Default"}, {"order"}, SettingsDialog::Dxf, RunCoordToDxf},
      {DataKind::CoordList, "asc",
       "coordinate list to a user-defined coordinate file (fields from [Coordinate Settings])", "asc", true,
       {"Coordinate Settings", "Default"}, {"order", "separator"}, SettingsDialog::CoordFields, RunCoordToAsc},
  };
  // clang-format on
  return rows;
}

const Conversion* FindConversion(DataKind from, std::string_view to) {
  for (const Conversion& c : Conversions()) {
    if (c.from == from && to == c.to) return &c;
  }
  return nullptr;
}

}  // namespace korv
