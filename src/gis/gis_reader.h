// Points read from a GIS file for the instrument: GeoPackage, GeoJSON, Shapefile, KML, CSV and
// DXF (POINT entities), through GDAL, into the program's coordinate list.
#pragma once

#include <string>
#include <vector>

#include "core/convert_result.h"
#include "core/gis_settings.h"

namespace korv {

// The characters of a point name the instrument keeps.
constexpr size_t kInstrumentNameLength = 12;
// Warnings of a reading shown in a conversion's notes (and in the fault when no point is left).
constexpr size_t kWarningsInNotes = 5;

// The extension of `path` without its dot, in lower case ("" when it has none).
std::string LowerExtension(const std::string& path);

// True when `path`'s extension is one of the GIS point files read here (.gpkg, .geojson, .json,
// .shp, .kml, .csv, .dxf; case does not matter). A .csv counts only when its first line names
// the coordinate columns (X and Y, E and N, east and north, ...): a coordinate list kept as
// .csv stays a coordinate list.
bool IsGisPointFile(const std::string& path);

struct GisPoint {
  long feature = 0;        // the feature it was read from, numbered as GisSkipped's
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
  // Other layers of the file that hold points (a KML's other folders): not read.
  std::vector<std::string> otherLayers;
};

// Reads the points of the layer named settings.layerName when `path` has one, else of its
// first layer that holds features: the name and code from the fields
// settings.nameField and settings.codeField, the elevation from the geometry's Z (else the
// field settings.elevationField; a KML's altitude 0 is a point on the ground, no elevation),
// the plane coordinates transformed from the layer's system
// into settings.crs (the instrument's grid). False with `fault` set when the file cannot be
// read, has no points, or its system and settings.crs cannot be brought together.
//
// A DXF drawing's points have no attributes: a POINT entity's name is the first TEXT written
// after it (as CoorToDXF writes the name beside each point), its code empty.
bool ReadGisPoints(const std::string& path, const GisSettings& settings, GisPoints& points,
                   std::string& fault);

// What the user is told of `points` besides the points: one line per layer not read, per
// feature left out ("feature 3: not a point: LineString") and per name the instrument cuts,
// at most `limit`
// lines, then one line for the rest.
std::vector<std::string> GisWarnings(const GisPoints& points, size_t limit);

// The GIS file's points as the program's coordinate list (name, the plane coordinates in
// `coordOrderIndex`, elevation with 3 decimals, code; CR LF, Windows-1252), through
// ConvertFiles (`mode` appends or replaces). Features skipped and names cut by the instrument
// are said in the notes; `warnings`, when given, receives every one of them (GisWarnings).
// The upload of a GIS file sends the upload lines of this list.
ConvertResult GisToCoor(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const GisSettings& settings, int coordOrderIndex,
                        std::vector<std::string>* warnings = nullptr);

}  // namespace korv
