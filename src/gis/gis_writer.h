// A survey's points written as a GIS layer through GDAL: GeoPackage, GeoJSON, ESRI Shapefile,
// KML and CSV, one 3D point feature per point name.
#pragma once

#include <string>

#include "core/convert_result.h"
#include "core/gis_settings.h"
#include "core/text_encoding.h"
#include "survey/survey.h"

namespace korv {

enum class GisFormat { GeoPackage, GeoJson, Shapefile, Kml, Csv };

// The command line's word for the format: "gpkg", "geojson", "shp", "kml", "csv".
const char* GisFormatWord(GisFormat format);

// Writes every point of `survey` (its coordinate records and the points its observations were
// reduced to; a name once, its first value) to `output` as a layer named settings.layerName,
// the attributes named by `settings` (name, code, elevation; computed points also the station
// and line). Texts are read in `encoding` and written as UTF-8. A point without an elevation
// has Z 0 (a layer is all 3D) and a NULL elevation attribute.
//
// settings.crs is the survey's grid. GeoPackage, Shapefile (with its .prj) and CSV are written
// in that grid (or without a system when there is none); GeoJSON and KML in WGS 84, the points
// transformed, and refused without a system. The output is written whole or not at all: an
// existing file (a Shapefile: each of its member files) is replaced only when the new one is
// complete. A Shapefile's name ends in .shp; its layer is named after the file, as is a CSV's.
ConvertResult WriteGisPoints(const Survey& survey, TextEncoding encoding, const std::string& output,
                             GisFormat format, const GisSettings& settings);

}  // namespace korv
