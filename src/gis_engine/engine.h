// The GIS engine's own functions: what crs.h, gis_reader.h, gis_writer.h and landxml_writer.h
// promise of the calls that need GDAL, PROJ or pugixml, done here. The programs reach them
// through the table the module exports (gis/engine.h); the tests of the engine may call them
// directly.
#pragma once

#include "gis/engine.h"

namespace korv::gis_engine {

bool ReadGisPoints(const std::string& path, const GisSettings& settings, GisPoints& points,
                   std::string& fault);
ConvertResult WriteGisPoints(const Survey& survey, TextEncoding encoding, const std::string& output,
                             GisFormat format, const GisSettings& settings);
ConvertResult WriteLandXml(const Survey& survey, TextEncoding encoding, const std::string& output,
                           const LandXmlOptions& options);
bool CheckCrs(const std::string& crs, std::string& fault);
std::string CrsDisplayName(const std::string& crs);
const std::vector<CrsEntry>& CrsCatalogue();

}  // namespace korv::gis_engine
