// Points read from a GIS file for the instrument: GeoPackage, GeoJSON, Shapefile, KML, CSV and
// DXF (POINT entities), through GDAL, into the program's coordinate list.
#pragma once

#include <string>
#include <vector>

#include "core/convert_result.h"
#include "core/gis_settings.h"

namespace korv {

// True when `path`'s extension is one of the GIS point files read here (.gpkg, .geojson, .json,
// .shp, .kml, .csv, .dxf; case does not matter).
bool IsGisPointFile(const std::string& path);

struct GisPoint {
  std::string name, code;  // UTF-8
  double east = 0, north = 0, elevation = 0;
  bool hasElevation = false;
};

// A feature that gave no point, and why ("not a point", "no name", ...).
struct GisSkipped {
  long feature = 0;  // numbered from 1 in reading order
  std::string reason;
};

struct GisPoints {
  std::vector<GisPoint> points;
  std::vector<GisSkipped> skipped;
  std::vector<std::string> longNames;  // names longer than the instrument's 12 characters
};

// Reads the points of the first layer of `path`: the name and code from the fields
// settings.nameField and settings.codeField, the elevation from the geometry's Z (else the
// field settings.elevationField), the plane coordinates transformed from the layer's system
// into settings.crs (the instrument's grid). False with `fault` set when the file cannot be
// read, has no points, or its system and settings.crs cannot be brought together.
bool ReadGisPoints(const std::string& path, const GisSettings& settings, GisPoints& points,
                   std::string& fault);

// GIS points to the program's coordinate list (name, the plane coordinates in
// `coordOrderIndex`, elevation with 3 decimals, code; CR LF, Windows-1252), through
// ConvertFiles (`mode` appends or replaces). Features skipped and names cut by the instrument
// are said in the notes.
ConvertResult GisToCoor(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const GisSettings& settings, int coordOrderIndex);

}  // namespace korv
