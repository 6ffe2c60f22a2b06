// GDAL set up once, and the spatial references the readers and writers share.
#include "gis_engine/gdal_support.h"

#include <mutex>

namespace korv::gis_engine {

void EnsureGdal() {
  static std::once_flag once;
  std::call_once(once, [] {
    CPLSetErrorHandler(CPLQuietErrorHandler);
    GDALAllRegister();
  });
}

SrsPtr ReadSrs(const std::string& crs, std::string& fault) {
  EnsureGdal();
  SrsPtr srs(new OGRSpatialReference());
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  CPLErrorReset();
  if (crs.empty() || srs->SetFromUserInput(crs.c_str()) != OGRERR_NONE) {
    fault = "Unknown coordinate reference system '" + crs +
            "' (give what PROJ accepts: EPSG:25832, a WKT or PROJ string)";
    return nullptr;
  }
  return srs;
}

SrsPtr ReadGrid(const std::string& crs, std::string& fault) {
  SrsPtr srs = ReadSrs(crs, fault);
  if (srs && (srs->IsGeographic() || srs->IsGeocentric())) {
    fault = std::string(srs->GetName() ? srs->GetName() : crs) +
            " is in longitude and latitude, not a grid: choose the projected system the survey "
            "is in (such as a UTM zone)";
    return nullptr;
  }
  return srs;
}

SrsPtr Wgs84() {
  SrsPtr srs(new OGRSpatialReference());
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  srs->SetWellKnownGeogCS("WGS84");
  return srs;
}

std::string GdalFault() {
  const char* message = CPLGetLastErrorMsg();
  return message ? message : "";
}

}  // namespace korv::gis_engine
