// The conversion rows and the one reading of a run's options from the settings file.
#include "conversions/registry.h"

#include "coords/coord_file_writer.h"
#include "coords/dxf_writer.h"
#include "formats/mapa_writer.h"
#include "formats/sdr_writer.h"
#include "gis/gis_reader.h"
#include "gis/gis_writer.h"
#include "gis/landxml_writer.h"
#include "survey/raw_to_coor.h"
#include "survey/survey_file.h"

namespace korv {

const char* DataKindWord(DataKind kind) {
  switch (kind) {
    case DataKind::Raw:
      return "raw";
    case DataKind::CoordList:
      return "coord";
    case DataKind::Gis:
      return "gis";
  }
  return "";
}

std::optional<DataKind> DataKindFromWord(std::string_view word) {
  for (DataKind kind : {DataKind::Raw, DataKind::CoordList, DataKind::Gis}) {
    if (word == DataKindWord(kind)) return kind;
  }
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
  o.gis = LoadGisSettings(ini);
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

// A survey file read (raw data reduced with the run's options) for a writer of the exchange.
// False with `result` set to the input fault when it cannot be read.
bool LoadForExchange(const std::string& in, bool raw, const RunOptions& o, Survey& survey,
                     ConvertResult& result) {
  std::string fault;
  survey.angleUnit = o.reduction.angleUnit;
  if (LoadSurvey(in, raw, o.coordOrder, o.reduction, survey, fault)) return true;
  result = ConvertResult::InputFault(fault);
  return false;
}

template <DataKind From, GisFormat To>
ConvertResult RunToGis(const std::string& in, const std::string& out, const RunOptions& o,
                       RunServices&) {
  Survey survey;
  ConvertResult result;
  if (!LoadForExchange(in, From == DataKind::Raw, o, survey, result)) return result;
  return WriteGisPoints(survey, EncodingOfFile(in), out, To, o.gis);
}

template <DataKind From>
ConvertResult RunToLandXml(const std::string& in, const std::string& out, const RunOptions& o,
                           RunServices&) {
  Survey survey;
  ConvertResult result;
  if (!LoadForExchange(in, From == DataKind::Raw, o, survey, result)) return result;
  LandXmlOptions options;
  options.gis = o.gis;
  options.imperial = o.sdr.distanceUnits == "2";  // US and international feet share the code
  options.now = o.now;
  return WriteLandXml(survey, EncodingOfFile(in), out, options);
}

ConvertResult RunGisToCoord(const std::string& in, const std::string& out, const RunOptions& o,
                            RunServices&) {
  return GisToCoor(in, out, o.mode, o.gis, o.coordOrder);
}

}  // namespace

ConvertResult RunConversion(const Conversion& conversion, const std::string& input,
                            const std::string& output, const RunOptions& options,
                            RunServices& services) {
  if (conversion.from != DataKind::Gis) {
    const std::string mismatch = DataKindMismatch(input, conversion.from == DataKind::Raw);
    if (!mismatch.empty()) {
      return ConvertResult::InputFault("Cannot convert " + input + ": " + mismatch);
    }
  }
  return conversion.run(input, output, options, services);
}

const std::vector<Conversion>& Conversions() {
  static const std::vector<Conversion> rows = [] {
    // The KOF header texts and the two conversions of "[KOF Settings]".
    const std::vector<const char*> kof = {
        "order",    "project",          "date",           "road", "city",
        "surveyor", "point-conversion", "code-conversion"};
    // The exchange's options and sections; raw data adds its reduction's.
    const std::vector<const char*> gisOptions = {"order", "crs", "layer", "name-field",
                                                 "code-field"};
    const std::vector<const char*> rawGisOptions = {"order",      "crs",        "layer",
                                                    "name-field", "code-field", "angle-unit",
                                                    "refraction", "sea-level"};
    const std::vector<const char*> xmlOptions = {"order", "crs"};
    const std::vector<const char*> rawXmlOptions = {"order", "crs", "angle-unit", "refraction",
                                                    "sea-level"};
    const std::vector<const char*> gis = {"GIS Settings", "Default"};
    const std::vector<const char*> rawGis = {"GIS Settings", "SDR33 Settings", "Default"};
    constexpr DataKind kRaw = DataKind::Raw, kCoord = DataKind::CoordList;
    // Each row: the kind read, target, what, extension, append possible, settings sections,
    // command-line options, settings dialog, runner.
    // clang-format off
  return std::vector<Conversion>{
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
      // The exchange with GIS and CAD programs: always written new, the coordinate system and
      // names from "[GIS Settings]".
      {kRaw, "gpkg", "points computed from raw data to a GeoPackage layer (the survey's grid)", "gpkg", false,
       rawGis, rawGisOptions, SettingsDialog::Gis, RunToGis<kRaw, GisFormat::GeoPackage>},
      {kRaw, "geojson", "points computed from raw data to GeoJSON (WGS 84: needs --crs)", "geojson", false,
       rawGis, rawGisOptions, SettingsDialog::Gis, RunToGis<kRaw, GisFormat::GeoJson>},
      {kRaw, "shp", "points computed from raw data to an ESRI Shapefile (the survey's grid)", "shp", false,
       rawGis, rawGisOptions, SettingsDialog::Gis, RunToGis<kRaw, GisFormat::Shapefile>},
      {kRaw, "kml", "points computed from raw data to KML (WGS 84: needs --crs)", "kml", false,
       rawGis, rawGisOptions, SettingsDialog::Gis, RunToGis<kRaw, GisFormat::Kml>},
      {kRaw, "csv", "points computed from raw data to CSV with X, Y, Z columns", "csv", false,
       rawGis, rawGisOptions, SettingsDialog::Gis, RunToGis<kRaw, GisFormat::Csv>},
      {kRaw, "landxml", "raw data to LandXML 1.2 (points, set-ups and observations)", "xml", false,
       rawGis, rawXmlOptions, SettingsDialog::Gis, RunToLandXml<kRaw>},
      {kCoord, "gpkg", "coordinate list to a GeoPackage layer (the survey's grid)", "gpkg", false,
       gis, gisOptions, SettingsDialog::Gis, RunToGis<kCoord, GisFormat::GeoPackage>},
      {kCoord, "geojson", "coordinate list to GeoJSON (WGS 84: needs --crs)", "geojson", false,
       gis, gisOptions, SettingsDialog::Gis, RunToGis<kCoord, GisFormat::GeoJson>},
      {kCoord, "shp", "coordinate list to an ESRI Shapefile (the survey's grid)", "shp", false,
       gis, gisOptions, SettingsDialog::Gis, RunToGis<kCoord, GisFormat::Shapefile>},
      {kCoord, "kml", "coordinate list to KML (WGS 84: needs --crs)", "kml", false,
       gis, gisOptions, SettingsDialog::Gis, RunToGis<kCoord, GisFormat::Kml>},
      {kCoord, "csv", "coordinate list to CSV with X, Y, Z columns", "csv", false,
       gis, gisOptions, SettingsDialog::Gis, RunToGis<kCoord, GisFormat::Csv>},
      {kCoord, "landxml", "coordinate list to LandXML 1.2 (points)", "xml", false,
       gis, xmlOptions, SettingsDialog::Gis, RunToLandXml<kCoord>},
      {DataKind::Gis, "asc",
       "GIS points (GeoPackage, GeoJSON, Shapefile, KML, CSV, DXF) to the instrument's coordinate list", "asc", true,
       gis, gisOptions, SettingsDialog::Gis, RunGisToCoord},
  };
    // clang-format on
  }();
  return rows;
}

const Conversion* FindConversion(DataKind from, std::string_view to) {
  for (const Conversion& c : Conversions()) {
    if (c.from == from && to == c.to) return &c;
  }
  return nullptr;
}

}  // namespace korv
