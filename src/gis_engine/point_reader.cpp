// Reading a GIS file's points through GDAL's vector API.
#include <ogr_geometry.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/numbers.h"
#include "core/text.h"
#include "core/text_encoding.h"
#include "gis_engine/engine.h"
#include "gis_engine/gdal_support.h"

namespace korv::gis_engine {

namespace {

// Where GDAL's CSV driver finds the coordinates: the program's own CSV has X, Y and Z. An
// elevation column is read as the elevation attribute: taken for Z as well, beside a Z
// column, it makes the driver fail.
const char* const kCsvOpenOptions[] = {
    "X_POSSIBLE_NAMES=X,x,E,east*,easting", "Y_POSSIBLE_NAMES=Y,y,N,north*,northing",
    "Z_POSSIBLE_NAMES=Z,z,H", "KEEP_GEOM_COLUMNS=NO", nullptr};

// The geometry type as GIS users read it ("LineString", "MultiPolygon").
std::string GeometryName(OGRwkbGeometryType type) {
  switch (wkbFlatten(type)) {
    case wkbLineString:
      return "LineString";
    case wkbPolygon:
      return "Polygon";
    case wkbMultiPoint:
      return "MultiPoint";
    case wkbMultiLineString:
      return "MultiLineString";
    case wkbMultiPolygon:
      return "MultiPolygon";
    case wkbGeometryCollection:
      return "GeometryCollection";
    default:
      return OGRGeometryTypeToName(type);
  }
}

// The point a geometry stands for: a point, or a multipoint of one point. Else the reason.
const OGRPoint* PointOf(const OGRGeometry* geometry, std::string& reason) {
  if (!geometry || geometry->IsEmpty()) {
    reason = "no geometry";
    return nullptr;
  }
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbPoint) return geometry->toPoint();
  if (type == wkbMultiPoint && geometry->toMultiPoint()->getNumGeometries() == 1) {
    return geometry->toMultiPoint()->getGeometryRef(0);
  }
  reason = "not a point: " + GeometryName(geometry->getGeometryType());
  return nullptr;
}

DatasetPtr OpenGisFile(const std::string& path, std::string& fault) {
  EnsureGdal();
  CPLErrorReset();
  const bool csv = LowerExtension(path) == "csv";
  DatasetPtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr,
                                       csv ? kCsvOpenOptions : nullptr, nullptr));
  if (!dataset) {
    const std::string why = GdalFault();
    fault = "Cannot read " + path + ": " + (why.empty() ? "not a GIS file GDAL reads" : why);
  }
  return dataset;
}

// The layer named `name` (the layer name of the GIS settings, or --layer) when the file has
// one; else the first layer that holds a feature, the first layer when none does. A
// Shapefile's or CSV's one layer is named after the file.
OGRLayer* PointLayer(GDALDataset& dataset, const std::string& name) {
  if (!name.empty()) {
    for (int i = 0; i < dataset.GetLayerCount(); ++i) {
      OGRLayer* layer = dataset.GetLayer(i);
      if (EQUAL(name.c_str(), layer->GetName())) return layer;
    }
  }
  for (int i = 0; i < dataset.GetLayerCount(); ++i) {
    OGRLayer* layer = dataset.GetLayer(i);
    layer->ResetReading();
    if (OGRFeatureUniquePtr(layer->GetNextFeature())) {
      layer->ResetReading();
      return layer;
    }
  }
  return dataset.GetLayerCount() > 0 ? dataset.GetLayer(0) : nullptr;
}

// The names of the layers besides `read` that may hold points and hold a feature: a KML's
// other folders, a GeoPackage's other point layers.
std::vector<std::string> OtherPointLayers(GDALDataset& dataset, const OGRLayer* read) {
  std::vector<std::string> names;
  for (int i = 0; i < dataset.GetLayerCount(); ++i) {
    OGRLayer* layer = dataset.GetLayer(i);
    const OGRwkbGeometryType type = wkbFlatten(layer->GetGeomType());
    if (layer == read || (type != wkbPoint && type != wkbMultiPoint && type != wkbUnknown)) {
      continue;
    }
    layer->ResetReading();
    if (OGRFeatureUniquePtr(layer->GetNextFeature())) names.push_back(layer->GetName());
  }
  return names;
}

using TransformPtr = std::unique_ptr<OGRCoordinateTransformation>;

// The undefined Cartesian system: how a GeoPackage marks a layer without a system (as
// WriteGisPoints writes a local grid's). Its points are taken as they are, as a layer's
// without any system.
bool IsUndefinedCartesian(const OGRSpatialReference& srs) {
  const char* name = srs.GetName();
  return srs.IsLocal() && name && EQUAL(name, "Undefined Cartesian SRS");
}

// The transformation from the layer's system into the instrument's grid `crs`; none when the
// points are taken as they are. False with `fault` when the two cannot be brought together.
bool GridTransform(OGRLayer& layer, const std::string& path, const std::string& crs,
                   TransformPtr& transform, std::string& fault) {
  const OGRSpatialReference* layerSrs = layer.GetSpatialRef();
  if (layerSrs && IsUndefinedCartesian(*layerSrs)) layerSrs = nullptr;
  if (!layerSrs) return crs.empty() || ReadGrid(crs, fault) != nullptr;
  if (crs.empty()) {
    if (!layerSrs->IsGeographic()) return true;
    fault = path + " is in longitude and latitude (" +
            (layerSrs->GetName() ? layerSrs->GetName() : "") +
            "): give the instrument's grid with --crs, or in the GIS settings";
    return false;
  }
  SrsPtr grid = ReadGrid(crs, fault);
  if (!grid) return false;
  SrsPtr source(layerSrs->Clone());
  source->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  CPLErrorReset();
  transform.reset(OGRCreateCoordinateTransformation(source.get(), grid.get()));
  if (!transform) {
    fault = "Cannot transform the points of " + path + " into " + CrsDisplayName(crs) + ": " +
            GdalFault();
    return false;
  }
  return true;
}

// The layer's fields the points are read from; -1 for a field the layer does not have.
struct FieldIndexes {
  int name = -1, code = -1, elevation = -1;
  // A KML: altitude 0 is what a viewer writes for a point placed on the ground, which has no
  // height (viewers clamp it to the terrain), so a Z of 0 is no elevation.
  bool groundZero = false;
};

std::string FieldList(const OGRFeatureDefn& definition) {
  std::string list;
  for (int i = 0; i < definition.GetFieldCount(); ++i) {
    if (i > 0) list += ", ";
    list += definition.GetFieldDefn(i)->GetNameRef();
  }
  return list.empty() ? "none" : list;
}

bool FindFields(const OGRFeatureDefn& definition, const GisSettings& settings, bool drawing,
                const std::string& path, FieldIndexes& fields, std::string& fault) {
  fields.code = definition.GetFieldIndex(settings.codeField.c_str());
  fields.elevation = definition.GetFieldIndex(settings.elevationField.c_str());
  fields.groundZero = LowerExtension(path) == "kml";
  if (drawing) return true;  // names come from the drawing's texts
  fields.name = definition.GetFieldIndex(settings.nameField.c_str());
  // A KML placemark's name (WriteGisPoints puts the name attribute there) is the field "Name".
  if (fields.name < 0 && LowerExtension(path) == "kml") {
    fields.name = definition.GetFieldIndex("Name");
  }
  if (fields.name >= 0) return true;
  fault = "The points of " + path + " have no field '" + settings.nameField +
          "' for their names (its fields: " + FieldList(definition) +
          "): give the field with --name-field, or in the GIS settings";
  return false;
}

// A field's text in UTF-8. Most drivers give UTF-8 (a Shapefile's is recoded from its .cpg);
// a CSV's bytes come as they are in the file, and one saved by a spreadsheet is often in
// Windows-1252: text that is not UTF-8 is read as Windows-1252.
//
// A number field's value in its shortest form: a Shapefile's numbers have a fixed count of
// decimals (a point number 101 reads "101.000000000000000").
std::string FieldText(const OGRFeature& feature, int field) {
  if (field < 0 || !feature.IsFieldSetAndNotNull(field)) return "";
  if (feature.GetFieldDefnRef(field)->GetType() == OFTReal) {
    return GeneralNumber(feature.GetFieldAsDouble(field));
  }
  std::string text = Trim(feature.GetFieldAsString(field));
  return IsValidUtf8(text) ? text : Windows1252ToUtf8(text);
}

// The elevation attribute's value; false when it holds none. A number field is taken as it
// is; a text (every CSV column) must be a number, with a decimal comma as a spreadsheet of a
// semicolon-separated CSV writes it ("12,345").
bool ElevationOf(const OGRFeature& feature, int field, double& elevation) {
  const std::string text = FieldText(feature, field);
  if (text.empty()) return false;
  const OGRFieldType type = feature.GetFieldDefnRef(field)->GetType();
  if (type == OFTReal || type == OFTInteger || type == OFTInteger64) {
    elevation = feature.GetFieldAsDouble(field);
    return true;
  }
  std::string number = text;
  if (number.find('.') == std::string::npos && number.find(',') == number.rfind(',')) {
    std::replace(number.begin(), number.end(), ',', '.');
  }
  char* end = nullptr;
  const double value = CPLStrtod(number.c_str(), &end);
  if (end == number.c_str() || *end != '\0' || !std::isfinite(value)) return false;
  elevation = value;
  return true;
}

// The feature's point with its code and elevation (the name is the caller's); false with
// `reason` when it has no point.
bool ReadPoint(const OGRFeature& feature, const FieldIndexes& fields, GisPoint& point,
               std::string& reason) {
  const OGRPoint* p = PointOf(feature.GetGeometryRef(), reason);
  if (!p) return false;
  point.east = p->getX();
  point.north = p->getY();
  point.code = FieldText(feature, fields.code);
  // A layer of 3D points holds a Z for every point: where it is 0 and there is an elevation
  // attribute, the attribute says whether the point has an elevation, and which. An empty
  // text (as CSV holds a missing value) is no elevation.
  if (p->Is3D() && (p->getZ() != 0 || (fields.elevation < 0 && !fields.groundZero))) {
    point.elevation = p->getZ();
    point.hasElevation = true;
  } else if (fields.elevation >= 0) {
    point.hasElevation = ElevationOf(feature, fields.elevation, point.elevation);
  }
  return true;
}

// A DXF TEXT (GDAL gives it as a point with its text), not a point of the drawing.
bool IsLabel(const OGRFeature& feature, int textField) {
  return textField >= 0 && feature.IsFieldSetAndNotNull(textField);
}

// True when `label` stands where CoorToDXF writes a point's name: as far right of the point
// as below it (half the text's height), or on it. The elevation and code are further below.
bool AtNamePlace(const GisPoint& point, const OGRFeature& label) {
  constexpr double kTolerance = 0.001;  // the drawing holds 4 decimals
  std::string reason;
  const OGRPoint* at = PointOf(label.GetGeometryRef(), reason);
  if (!at) return false;
  const double right = at->getX() - point.east, below = point.north - at->getY();
  return right > -kTolerance && std::fabs(right - below) < kTolerance;
}

void ReadFeatures(OGRLayer& layer, const FieldIndexes& fields, bool drawing, GisPoints& points) {
  const int textField = drawing ? layer.GetLayerDefn()->GetFieldIndex("Text") : -1;
  bool awaitingName = false;  // the last point read is a drawing's, its name still to come
  auto endDrawingPoint = [&] {
    if (!awaitingName) return;
    awaitingName = false;
    points.skipped.push_back({points.points.back().feature, "no name"});
    points.points.pop_back();
  };
  long number = 0;
  for (const OGRFeatureUniquePtr& feature : layer) {
    ++number;
    if (drawing && IsLabel(*feature, textField)) {
      if (awaitingName && AtNamePlace(points.points.back(), *feature)) {
        points.points.back().name = FieldText(*feature, textField);
        awaitingName = points.points.back().name.empty();
      }
      continue;
    }
    endDrawingPoint();
    GisPoint point;
    point.feature = number;
    std::string reason;
    if (!ReadPoint(*feature, fields, point, reason)) {
      points.skipped.push_back({number, reason});
      continue;
    }
    point.name = FieldText(*feature, fields.name);
    if (!drawing && point.name.empty()) {
      points.skipped.push_back({number, "no name"});
      continue;
    }
    points.points.push_back(std::move(point));
    awaitingName = drawing;
  }
  endDrawingPoint();
}

std::string NoPointsFault(const std::string& path, const GisPoints& points) {
  std::string fault = "No points in " + path + ": ";
  if (points.skipped.empty()) return fault + "it holds no features";
  const std::vector<std::string> warnings = GisWarnings(points, kWarningsInNotes);
  for (size_t i = 0; i < warnings.size(); ++i) fault += (i > 0 ? "; " : "") + warnings[i];
  return fault;
}

bool Transform(OGRCoordinateTransformation& transform, GisPoints& points, std::string& fault) {
  for (GisPoint& p : points.points) {
    if (!transform.Transform(1, &p.east, &p.north)) {
      fault = "Cannot transform the point of feature " + std::to_string(p.feature) +
              " into the instrument's grid";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ReadGisPoints(const std::string& path, const GisSettings& settings, GisPoints& points,
                   std::string& fault) {
  points = GisPoints();
  DatasetPtr dataset = OpenGisFile(path, fault);
  if (!dataset) return false;
  OGRLayer* layer = PointLayer(*dataset, settings.layerName);
  if (!layer) {
    fault = "No points in " + path + ": it holds no layer";
    return false;
  }
  const bool drawing = LowerExtension(path) == "dxf";
  FieldIndexes fields;
  TransformPtr transform;
  if (!FindFields(*layer->GetLayerDefn(), settings, drawing, path, fields, fault) ||
      !GridTransform(*layer, path, settings.crs, transform, fault)) {
    return false;
  }
  ReadFeatures(*layer, fields, drawing, points);
  if (!drawing) points.otherLayers = OtherPointLayers(*dataset, layer);
  if (points.points.empty()) {
    fault = NoPointsFault(path, points);
    return false;
  }
  if (transform && !Transform(*transform, points, fault)) return false;
  for (const GisPoint& p : points.points) {
    if (CharCount(p.name, TextEncoding::Utf8) > kInstrumentNameLength) {
      points.longNames.push_back(p.name);
    }
  }
  return true;
}

}  // namespace korv::gis_engine
