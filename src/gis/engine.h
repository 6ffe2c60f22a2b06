// The GIS engine: the part of the GIS exchange that needs GDAL, PROJ and pugixml, built as a
// module of its own (lib/<architecture>/korvenia/korvenia-gis.so) and loaded on the first call that needs it. GDAL brings
// over a hundred libraries whose loading would otherwise cost every start of the programs
// most of its time, a conversion to KOF as much as one to GeoPackage.
//
// The functions of crs.h, gis_reader.h, gis_writer.h and landxml_writer.h that need GDAL call
// through this table; when the module cannot be loaded they fail with the reason.
#pragma once

#include <string>
#include <vector>

#include "core/convert_result.h"
#include "core/gis_settings.h"
#include "core/text_encoding.h"
#include "gis/crs.h"
#include "gis/gis_reader.h"
#include "gis/gis_writer.h"
#include "gis/landxml_writer.h"
#include "survey/survey.h"

namespace korv {

// Changed whenever the table or a type it passes changes, so that a module of another build
// is refused rather than called wrongly.
constexpr int kGisEngineVersion = 2;

struct GisEngine {
  int version;
  bool (*readGisPoints)(const std::string& path, const GisSettings& settings, GisPoints& points,
                        std::string& fault);
  ConvertResult (*writeGisPoints)(const Survey& survey, TextEncoding encoding,
                                  const std::string& output, GisFormat format,
                                  const GisSettings& settings);
  ConvertResult (*writeLandXml)(const Survey& survey, TextEncoding encoding,
                                const std::string& output, const LandXmlOptions& options);
  bool (*checkCrs)(const std::string& crs, std::string& fault);
  std::string (*crsDisplayName)(const std::string& crs);
  const std::vector<CrsEntry>& (*crsCatalogue)();
};

// The module's file name, and the one symbol it exports: its table.
constexpr const char* kGisEngineFile = "korvenia-gis.so";
constexpr const char* kGisEngineSymbol = "korvenia_gis_engine";
using GisEngineEntry = const GisEngine* (*)();

}  // namespace korv
