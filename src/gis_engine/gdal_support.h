// What the GIS writers and readers share on top of GDAL's C++ API: owned handles and the
// spatial references they are given, always in the traditional GIS axis order.
#pragma once

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <memory>
#include <string>

namespace korv::gis_engine {

// Registers GDAL's drivers and quiets its error printing (faults are taken from
// CPLGetLastErrorMsg and reported by the program). Safe to call from any thread, any number
// of times.
void EnsureGdal();

struct SrsRelease {
  void operator()(OGRSpatialReference* srs) const {
    if (srs) srs->Release();
  }
};
using SrsPtr = std::unique_ptr<OGRSpatialReference, SrsRelease>;

struct DatasetClose {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetClose>;

// The system `crs` names, in the traditional GIS axis order; nullptr with `fault` set when
// it does not read.
SrsPtr ReadSrs(const std::string& crs, std::string& fault);
// The same for the survey's grid, whose coordinates are metres: a system in longitude and
// latitude is refused too (its degrees would be taken for metres, or cut to millimetres).
SrsPtr ReadGrid(const std::string& crs, std::string& fault);
// WGS 84 (EPSG:4326) with longitude first, as GeoJSON and KML hold it.
SrsPtr Wgs84();

// GDAL's last error message, "" when it gave none.
std::string GdalFault();

}  // namespace korv::gis_engine
