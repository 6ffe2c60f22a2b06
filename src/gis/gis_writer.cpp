#include "gis/gis_writer.h"

namespace korv {

const char* GisFormatWord(GisFormat format) {
  switch (format) {
    case GisFormat::GeoPackage:
      return "gpkg";
    case GisFormat::GeoJson:
      return "geojson";
    case GisFormat::Shapefile:
      return "shp";
    case GisFormat::Kml:
      return "kml";
    case GisFormat::Csv:
      return "csv";
  }
  return "";
}

ConvertResult WriteGisPoints(const Survey&, TextEncoding, const std::string&, GisFormat,
                             const GisSettings&) {
  return ConvertResult::OutputFault("not built yet");
}

}  // namespace korv
