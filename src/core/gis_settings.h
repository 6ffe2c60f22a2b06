// "[GIS Settings]", the settings file's section after "[Survey Texts]": the last choices of the
// GIS and LandXML exchange (coordinate reference system, layer and attribute names) and the
// texts of the exchange's list entries and dialog. A settings file written before the section
// existed loads with the defaults below; the section is written when a choice is saved.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text_section.h"

namespace korv {

class IniFile;

constexpr const char* kGisSettingsSection = "GIS Settings";

// The choices of the exchange.
struct GisSettings {
  // The survey's grid, as PROJ takes it ("EPSG:25832", a WKT or PROJ string); empty: none.
  std::string crs;
  std::string layerName = "points";  // the layer (table) written
  // The attribute names written, and the fields a GIS file's points are read from.
  std::string nameField = "name";
  std::string codeField = "code";
  std::string elevationField = "elevation";
};

// The section's choices; a key that is missing or empty keeps its default (the CRS: none).
GisSettings LoadGisSettings(const IniFile& ini);
// Sets the section's choices in `ini` (the section is added at the end when it is missing).
void StoreGisSettings(IniFile& ini, const GisSettings& settings);

// The text of `key` in the section, else the default settings file's ("" for a key it does
// not hold). Keys: the list entries "GeoPackage", "GeoJSON", "Shapefile", "KML", "CSV",
// "LandXML"; the dialog's texts; "GisFiles", the file filter of GIS point files.
std::string GisText(const IniFile& ini, std::string_view key);

// The texts of the exchange entries that the window's raw data and coordinate lists end with,
// in list order (the keys "GeoPackage" ... "LandXML").
std::vector<std::string> GisListTexts(const IniFile& ini);

// The section's texts (its choices are not texts).
const TextSection& GisTextSection();

// Appends the whole section as the default settings file has it, header included, after a
// blank line (CR LF line ends).
void AppendGisSection(std::string& out);

}  // namespace korv
