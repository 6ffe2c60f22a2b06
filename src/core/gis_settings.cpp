#include "core/gis_settings.h"

#include "core/key_store.h"

namespace korv {

namespace {

// The choices, in the order of the file.
constexpr const char* kCrsKey = "CRS";
constexpr const char* kLayerKey = "LayerName";
constexpr const char* kNameKey = "NameField";
constexpr const char* kCodeKey = "CodeField";
constexpr const char* kElevationKey = "ElevationField";

// The texts, in the order of the file after the choices. "|" separates a filter's text from
// its patterns, as in the other file-type texts.
constexpr TextRow kGisTexts[] = {
    {"GeoPackage", "GeoPackage file"},
    {"GeoJSON", "GeoJSON file (WGS 84)"},
    {"Shapefile", "ESRI Shapefile"},
    {"KML", "KML file (WGS 84)"},
    {"CSV", "CSV file (X, Y, Z)"},
    {"LandXML", "LandXML 1.2 file"},
    {"Title", "GIS settings"},
    {"CrsLabel", "&Coordinate reference system of the survey's grid:"},
    {"CrsSearch", "&Search by code or name:"},
    {"NoCrs", "None (local grid)"},
    {"LayerLabel", "&Layer name:"},
    {"NameLabel", "&Name attribute:"},
    {"CodeLabel", "Co&de attribute:"},
    {"ElevationLabel", "&Elevation attribute:"},
    {"NeedsCrs",
     "GeoJSON and KML are written in WGS 84: choose the survey's coordinate "
     "reference system first."},
    {"GisFiles",
     "GIS points (*.gpkg *.geojson *.json *.shp *.kml *.csv *.dxf)|"
     "*.gpkg;*.geojson;*.json;*.shp;*.kml;*.csv;*.dxf"},
    {"SendAnyway", "Send the points anyway?"},
    {"NeedsName", "Give the layer and each attribute a name."},
    {"UploadCheck", "The instrument would not receive the file as it stands:"},
};

}  // namespace

GisSettings LoadGisSettings(const IniFile& ini) {
  GisSettings s;
  s.crs = ini.Get(kGisSettingsSection, kCrsKey);
  for (auto [key, value] :
       {std::pair{kLayerKey, &s.layerName}, std::pair{kNameKey, &s.nameField},
        std::pair{kCodeKey, &s.codeField}, std::pair{kElevationKey, &s.elevationField}}) {
    std::string stored = ini.Get(kGisSettingsSection, key);
    if (!stored.empty()) *value = std::move(stored);
  }
  return s;
}

void StoreGisSettings(IniFile& ini, const GisSettings& s) {
  ini.Set(kGisSettingsSection, kCrsKey, s.crs);
  ini.Set(kGisSettingsSection, kLayerKey, s.layerName);
  ini.Set(kGisSettingsSection, kNameKey, s.nameField);
  ini.Set(kGisSettingsSection, kCodeKey, s.codeField);
  ini.Set(kGisSettingsSection, kElevationKey, s.elevationField);
}

const TextSection& GisTextSection() {
  static constexpr TextSection section{kGisSettingsSection, kGisTexts};
  return section;
}

std::string GisText(const IniFile& ini, std::string_view key) {
  return SectionText(ini, GisTextSection(), key);
}

std::vector<std::string> GisListTexts(const IniFile& ini) {
  std::vector<std::string> texts;
  for (const char* key : {"GeoPackage", "GeoJSON", "Shapefile", "KML", "CSV", "LandXML"}) {
    texts.push_back(GisText(ini, key));
  }
  return texts;
}

void AppendGisSection(std::string& out) {
  const GisSettings defaults;
  out += std::string("\r\n[") + kGisSettingsSection + "]\r\n";
  for (auto [key, value] :
       {std::pair{kCrsKey, &defaults.crs}, std::pair{kLayerKey, &defaults.layerName},
        std::pair{kNameKey, &defaults.nameField}, std::pair{kCodeKey, &defaults.codeField},
        std::pair{kElevationKey, &defaults.elevationField}}) {
    out += std::string(key) + "=" + *value + "\r\n";
  }
  AppendTextRows(out, GisTextSection());
}

}  // namespace korv
