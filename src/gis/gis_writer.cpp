// The GIS formats' command-line words; the writing itself is the GIS engine's.
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

}  // namespace korv
